/*!! The second header,
 * with a mistake in its overview: \overvue
 */
#pragma once
#ifndef SECOND_H
#define SECOND_H
/*! \brief Opens again.
 * Replaces the page of the first header.
 */
int open_port(int a, int b); /* an earlier input wrote this page! */

/*! \brief Only a brief line.
 * \ingroup ports
 */
int brief_only(void); /* no page, yet the index page links it! */
#endif /* SECOND_H: an include guard, never reported */
