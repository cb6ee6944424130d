/* $(LICENSE) */
#include "board.h"

/* Toggles the LED every half second. */
int main(void)
{
    led_init();
    for (;;) {
        led_toggle();
        delay_ms(500);
    }
}
