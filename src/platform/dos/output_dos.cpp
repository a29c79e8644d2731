// The output layer on DOS: standard output through DOS handle 1, held in a
// buffer that goes out before each pause and at exit, each "\n" written as
// CR LF as DOS text has it; messages to handle 2 at once. The formatter has
// only the conversions the report uses: %d %x %X %s, with the 'l' length,
// a '0' flag and a width.
#include <stdarg.h>
#include <stdint.h>

#include "core/output.h"
#include "dos_calls.h"

namespace {

char held[512];
uint16_t held_length = 0;

// The cause of the first failed write, in the words of the C library's
// messages on the other builds.
const char *first_failure = nullptr;

const char *failure_text(uint16_t dos_error)
{
    switch (dos_error) {
    case 5:
        return "Permission denied";
    case 6:
        return "Bad file descriptor";
    default:
        return "Input/output error";
    }
}

void write_held()
{
    if (held_length == 0)
        return;
    const DosResult written = dos_write(dos_standard_output, held, held_length);
    if (first_failure == nullptr && !written.ok)
        first_failure = failure_text(written.value);
    else if (first_failure == nullptr && written.value < held_length)
        first_failure = "No space left on device"; // a short write: the disk is full
    held_length = 0;
}

void hold(char byte)
{
    if (held_length == sizeof held)
        write_held();
    held[held_length++] = byte;
}

void put(char byte)
{
    if (byte == '\n')
        hold('\r');
    hold(byte);
}

void put_text(const char *text)
{
    while (*text != '\0')
        put(*text++);
}

// `value` in `base` (10 or 16), at least `width` characters wide.
void put_number(uint32_t value, bool negative, unsigned base, bool upper_case, unsigned width, char fill)
{
    const char *digits = upper_case ? "0123456789ABCDEF" : "0123456789abcdef";
    char text[10];
    unsigned length = 0;
    do {
        text[length++] = digits[value % base];
        value /= base;
    } while (value != 0);
    unsigned shown = length + (negative ? 1 : 0);
    if (negative && fill == '0')
        put('-');
    for (; shown < width; ++shown)
        put(fill);
    if (negative && fill != '0')
        put('-');
    while (length > 0)
        put(text[--length]);
}

X86IDENT_PRINTF(1, 0) void put_formatted(const char *format, va_list args)
{
    for (const char *at = format; *at != '\0'; ++at) {
        if (*at != '%') {
            put(*at);
            continue;
        }
        ++at;
        char fill = ' ';
        if (*at == '0') {
            fill = '0';
            ++at;
        }
        unsigned width = 0;
        for (; *at >= '0' && *at <= '9'; ++at)
            width = width * 10 + static_cast<unsigned>(*at - '0');
        const bool is_long = *at == 'l';
        if (is_long)
            ++at;
        switch (*at) {
        case 'd': {
            const long value = is_long ? va_arg(args, long) : va_arg(args, int);
            const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
            put_number(magnitude, value < 0, 10, false, width, fill);
            break;
        }
        case 'x':
        case 'X': {
            const uint32_t value = is_long ? va_arg(args, unsigned long) : va_arg(args, unsigned int);
            put_number(value, false, 16, *at == 'X', width, fill);
            break;
        }
        case 's':
            put_text(va_arg(args, const char *));
            break;
        case '%':
            put('%');
            break;
        default: // not used by the program
            return;
        }
    }
}

// Standard error is not held: a message is out the moment it is written.
void write_message(const char *text)
{
    uint16_t length = 0;
    while (text[length] != '\0')
        ++length;
    dos_write(dos_standard_error, text, length);
}

} // namespace

void out_printf(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    put_formatted(format, args);
    va_end(args);
}

void out_char(unsigned char byte)
{
    hold(static_cast<char>(byte));
}

void out_flush()
{
    write_held();
}

void out_message(const char *line)
{
    write_message(line);
    write_message("\r\n");
}

int out_finish(const char *program_name)
{
    write_held();
    if (first_failure == nullptr)
        return 0;
    write_message(program_name);
    write_message(": error writing standard output: ");
    out_message(first_failure);
    return 1;
}
