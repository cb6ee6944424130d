/*!! The second header,
 * with a mistake in its overview: \overvue
 */
/*! \brief Opens again. */
int open_port(int a, int b); /* an earlier input wrote this page! */
