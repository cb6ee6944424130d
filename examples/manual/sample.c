/* $(LICENSE) */
#include "uart.h"

void greet(uart_t *port)
{
    uart_write(port, "hi", 2);
}
