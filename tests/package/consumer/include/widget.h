/*! \brief Makes a widget.
 * Returns its number.
 */
int widget(void);
