/*!! The second header,
 * with a mistake in its overview: \overvue
 */
#ifndef SECOND_H
#define SECOND_H
/*! \brief Opens again. */
int open_port(int a, int b); /* an earlier input wrote this page! */
#endif /* SECOND_H: an include guard, never reported */
