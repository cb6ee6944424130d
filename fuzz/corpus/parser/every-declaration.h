/*!! Overview of the header. */
#ifndef X_H
#define X_H
/*! \group Things */
/*! A macro with a continuation.
 * \code
 * M(1, 2);
 * \endcode
 */
#define M(a, b) \
    ((a) + \
     (b))
/*! An enum. */
typedef enum { A = 1, B, C = (1 << 3) } e_t;
/*! A struct with a nested function pointer. */
typedef struct s {
    int (*cb)(void (*inner)(int), const char *);
    struct { int x; } inner;
    union { int i; float f; } u;
    unsigned bits : 3;
} s_t;
/*! A function-pointer typedef. */
typedef void (*handler_t)(int, void *);
/*! A variable. */
extern volatile const int counter[4];
/*! A function. \param a first \return nothing */
static inline int f(int a, ...) { return a; }
/*! \endgroup */
namespace n { class K : public B<int>, private C { public: virtual ~K(); template <typename T> T g(T) const throw(); operator bool() const; friend class F; signals: void s(); }; }
int K::method(int) { return "str" ? 'c' : 0; }
#endif
