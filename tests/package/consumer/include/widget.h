/*! \brief Makes a widget.
    Builds one widget and returns 0. */
int widget(void);
