/*!! \overview
The UART driver gives buffered, interrupt-driven access to the serial ports of the
board. Open a port with \ref{uart_open}, move data with \ref{uart_write} and
\ref{uart_read}, and close it with \ref{uart_close}.

\grouporder{Configuration, Ports, Data transfer, Events}
*/

#ifndef UART_H
#define UART_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/*! \brief Number of serial ports on the board.
 * \ingroup Configuration
 *
 * Port numbers run from 0 to \this minus one.
 * \synopsis
 */
#define UART_PORT_COUNT 4

/*! \brief Converts a baud rate into the divider of the port clock.
 * \ingroup Configuration
 * \synopsis
 * \param{clock} the port clock in hertz.
 * \param{baud} the wanted baud rate.
 *
 * The divider is rounded to the nearest whole number:
 * \code
 *     uint32_t d = UART_DIVIDER(48000000u, 115200u);   // 26
 * \endcode
 */
#define UART_DIVIDER(clock, baud) \
    (((clock) + 8u * (baud)) /    \
     (16u * (baud)))

/*! \brief The parity of a frame.
 * \ingroup Configuration
 * \synopsis
 * \item{UART_PARITY_NONE} no parity bit;
 * \item{UART_PARITY_EVEN} the parity bit makes the count of ones even;
 * \item{UART_PARITY_ODD} the parity bit makes the count of ones odd.
 */
typedef enum uart_parity {
    UART_PARITY_NONE = 0,
    UART_PARITY_EVEN,
    UART_PARITY_ODD
} uart_parity_t;

/*! \brief The settings of a port.
 * \ingroup Configuration
 * \synopsis
 * Fill it in before calling \ref{uart_open}; fields left at zero take their
 * defaults.
 */
typedef struct uart_config {
    uint32_t baud;         // bits per second
    uint8_t data_bits;     // 5 to 8
    uint8_t stop_bits;     // 1 or 2
    uart_parity_t parity;
    struct {
        unsigned rts_cts : 1;
        unsigned xon_xoff : 1;
    } flow;
} uart_config_t;

/*! \brief Called when a transfer has finished.
 * \ingroup Events
 * \synopsis
 * \param{port} the port that finished.
 * \param{status} zero on success, otherwise an error code.
 * \param{context} the pointer given with the transfer.
 */
typedef void (*uart_callback_t)(int port, int status, void *context);

/*! \brief The driver's version as a text.
 * \ingroup Configuration
 * \synopsis
 */
extern const char uart_version[];

/*! \brief Opens a port.
 * \ingroup Ports
 * \synopsis
 * \param{port} the port number, below \ref{UART_PORT_COUNT}.
 * \param{config} the settings, or a null pointer for 115200 baud, 8 data bits,
 * no parity and one stop bit.
 * \rv
 * \return zero on success, a negative error code otherwise.
 * \code
 *     uart_config_t config = { 9600, 8, 1, UART_PARITY_NONE };
 *     if (uart_open(0, &config) != 0)
 *         report("cannot open the console");
 * \endcode
 * \sa \ref{uart_close}
 */
int uart_open(int port, const uart_config_t *config);

/*! \brief Closes a port.
 * \ingroup Ports
 * \synopsis
 * \param{port} an open port.
 *
 * Pending transfers are cancelled; their callbacks are called with a non-zero
 * status.
 */
void uart_close(int port);

/*! \brief Writes bytes to a port.
 * \ingroup Data transfer
 * \synopsis
 * \param{port} an open port.
 * \param{data} the bytes to send.
 * \param{length} how many bytes to send.
 * \param{done} called when the last byte has left the port, or a null pointer to
 * wait here until then.
 * \param{context} handed to \i{done}.
 * \rv
 * \return the number of bytes queued.
 * \ts
 * Safe to call from an interrupt handler when \i{done} is not a null pointer.
 */
size_t uart_write(int port, const void *data, size_t length, uart_callback_t done,
                  void *context);

/*! \brief Reads the bytes received so far.
 * \ingroup Data transfer
 * \synopsis
 * \param{port} an open port.
 * \param{buffer} where the bytes go.
 * \param{size} the size of the buffer.
 * \rv
 * \return the number of bytes copied, zero when nothing has arrived.
 */
size_t uart_read(int port, void *buffer, size_t size);

/* An internal helper: a plain comment, so it gets no page. */
void uart_irq_handler(void);

#ifdef __cplusplus
}
#endif

#endif /* UART_H */
