/*! \brief Opens.
 * \param{c} not a parameter
 * \param{a} fine
 */
int open_port(int a, int b); /* b has no param! */

/*! Documents nothing. */

/* a plain comment */
int undocumented_call(void); /* undocumented! */

/*! \brief A macro. \param{x} fine */
#define ADD(x, y) ((x) + (y)) /* y has no param! */

/*! \brief Unclosed sample. \code
   int x;
 */
int sample(int);

typedef struct broken {
    static int misplaced; /* a struct cannot hold this */
} broken_t;

#ifndef FIRST_OPTION /* guards no header: reported */
#define FIRST_OPTION
#endif

/*! \brief Shows an icon.
 * Press \icon{FileOpen}: its page and the icon are both in api/.
 */
int with_icon(void);
