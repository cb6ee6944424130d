/*! \brief Makes a widget. */
int widget(void);
