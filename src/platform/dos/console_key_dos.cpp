// Console key read on DOS: the CON device itself, opened once, so that
// redirected standard input or output changes nothing. For the length of
// one key it is in raw mode: one byte comes at once, without Enter and
// without echo. A special key (cursor, function keys) reads as 00h and its
// scan code: the first ends this wait, the second the next one.
#include "core/wait_for_key.h"

#include <stdint.h>

#include "dos_calls.h"

namespace {

constexpr uint16_t device_bit = 0x80;
constexpr uint16_t raw_mode_bit = 0x20;
constexpr unsigned char ctrl_c = 0x03;

bool second_code_pending = false;
bool console_opened = false;
DosResult console{false, 0};

int read_console_byte()
{
    unsigned char byte;
    const DosResult got = dos_read(console.value, &byte, 1);
    return got.ok && got.value == 1 ? byte : -1;
}

} // namespace

void console_wait_for_key()
{
    if (second_code_pending) {
        second_code_pending = false;
        return;
    }
    if (!console_opened) {
        console_opened = true;
        console = dos_open("CON");
    }
    if (!console.ok)
        return;
    const DosResult info = dos_get_device_info(console.value);
    if (!info.ok || (info.value & device_bit) == 0)
        return;
    for (;;) {
        if (!dos_set_device_info(console.value, info.value | raw_mode_bit).ok)
            return;
        const int key = read_console_byte();
        // Ctrl-Break puts 0000h into the keyboard buffer: 00h and a scan code
        // of 0, which some consoles (DOSBox's) never hand out.
        bool ctrl_break = false;
        if (key == 0) {
            const int scan_code = dos_input_ready(console.value) ? read_console_byte() : 0;
            ctrl_break = scan_code == 0;
            second_code_pending = scan_code > 0;
        }
        dos_set_device_info(console.value, info.value);
        if (key != ctrl_c && !ctrl_break)
            return;
        // Raw mode keeps DOS from acting on Ctrl-C: it is handed on as DOS
        // does, and the program ends the way DOS ends one on Ctrl-C (status
        // 0), unless the handler says to go on: then the wait goes on.
        if (dos_ctrl_c())
            dos_exit(0);
    }
}
