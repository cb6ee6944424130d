/*! \brief Opens again. */
int open_port(int a, int b); /* an earlier input wrote this page! */
