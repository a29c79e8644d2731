// Console key read on POSIX systems: the controlling terminal (/dev/tty),
// never standard input, switched to no-echo, non-canonical mode for the
// length of one key press and always put back as it was, also when a signal
// ends or suspends the program during the wait.
#include "core/wait_for_key.h"

#include <errno.h>
#include <signal.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How long the rest of an escape sequence may take to arrive. A lone Esc
// sends nothing after it; a special key's bytes come together.
constexpr int escape_timeout_ms = 50;

constexpr int end_of_input = -1;
constexpr int nothing_in_time = -2;

// A special key's second code, still to end the next wait.
bool second_code_pending = false;

// Shared with the signal handlers while a wait is on.
volatile sig_atomic_t terminal_fd = -1;
struct termios settings_before;
struct termios settings_waiting;

constexpr int ending_signals[] = {SIGINT, SIGQUIT, SIGTERM, SIGHUP};
constexpr int ending_signal_count = sizeof ending_signals / sizeof ending_signals[0];
struct sigaction actions_before[ending_signal_count];
struct sigaction stop_action_before;

void set_default_action(int signal_number, struct sigaction *previous)
{
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    sigemptyset(&default_action.sa_mask);
    sigaction(signal_number, &default_action, previous);
}

// Ctrl-C, Ctrl-\, termination, hangup: the terminal first, then the process
// ends by the same signal, so its parent sees the usual status.
extern "C" void end_by_signal(int signal_number)
{
    int fd = terminal_fd;
    if (fd >= 0)
        tcsetattr(fd, TCSANOW, &settings_before);
    set_default_action(signal_number, nullptr);
    sigset_t this_signal;
    sigemptyset(&this_signal);
    sigaddset(&this_signal, signal_number);
    sigprocmask(SIG_UNBLOCK, &this_signal, nullptr);
    raise(signal_number);
}

// Ctrl-Z: the terminal as it was while the program is stopped; after it is
// continued, no-echo mode again and the wait goes on.
extern "C" void stop_by_signal(int signal_number)
{
    int saved_errno = errno;
    int fd = terminal_fd;
    if (fd >= 0)
        tcsetattr(fd, TCSANOW, &settings_before);
    struct sigaction this_handler;
    set_default_action(signal_number, &this_handler);
    sigset_t this_signal, mask_before;
    sigemptyset(&this_signal);
    sigaddset(&this_signal, signal_number);
    sigprocmask(SIG_UNBLOCK, &this_signal, &mask_before);
    raise(signal_number); // stops here until SIGCONT
    sigprocmask(SIG_SETMASK, &mask_before, nullptr);
    sigaction(signal_number, &this_handler, nullptr);
    if (fd >= 0)
        tcsetattr(fd, TCSANOW, &settings_waiting);
    errno = saved_errno;
}

void install_handler(int signal_number, void (*handler)(int), struct sigaction *previous)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, previous);
    // A signal that the program was started with ignored stays ignored.
    if (previous->sa_handler == SIG_IGN)
        sigaction(signal_number, previous, nullptr);
}

void install_handlers()
{
    for (int i = 0; i < ending_signal_count; ++i)
        install_handler(ending_signals[i], end_by_signal, &actions_before[i]);
    install_handler(SIGTSTP, stop_by_signal, &stop_action_before);
}

void restore_handlers()
{
    for (int i = 0; i < ending_signal_count; ++i)
        sigaction(ending_signals[i], &actions_before[i], nullptr);
    sigaction(SIGTSTP, &stop_action_before, nullptr);
}

// One byte from the terminal: the byte, end_of_input on end of file or an
// error (hangup, terminal gone), or nothing_in_time when `timeout_ms` (not
// negative) passes first.
int read_byte(int fd, int timeout_ms)
{
    if (timeout_ms >= 0) {
        struct pollfd ready {};
        ready.fd = fd;
        ready.events = POLLIN;
        int count;
        do
            count = poll(&ready, 1, timeout_ms);
        while (count < 0 && errno == EINTR);
        if (count == 0)
            return nothing_in_time;
        if (count < 0)
            return end_of_input;
    }
    unsigned char byte;
    ssize_t got;
    do
        got = read(fd, &byte, 1);
    while (got < 0 && errno == EINTR);
    return got == 1 ? byte : end_of_input;
}

// The rest of a UTF-8 character whose first byte is `lead`.
void skip_utf8_continuation(int fd, int lead)
{
    int more = lead >= 0xf0 && lead < 0xf8 ? 3 : lead >= 0xe0 && lead < 0xf0 ? 2 : lead >= 0xc0 && lead < 0xe0 ? 1 : 0;
    for (; more > 0; --more)
        if (read_byte(fd, escape_timeout_ms) < 0)
            return;
}

// Reads one key press. Returns true for a special key (cursor, editing and
// function keys, also with modifiers), which yields two codes.
bool read_key(int fd)
{
    int first = read_byte(fd, -1);
    if (first != 0x1b) {
        skip_utf8_continuation(fd, first);
        return false;
    }
    int second = read_byte(fd, escape_timeout_ms);
    if (second < 0)
        return false; // a lone Esc
    if (second == '[') {
        // CSI: parameter and intermediate bytes, then one final byte. The
        // Linux console's F1-F5 are "ESC [ [ letter".
        int byte = read_byte(fd, escape_timeout_ms);
        if (byte == '[')
            byte = read_byte(fd, escape_timeout_ms);
        else
            while (byte >= 0x20 && byte < 0x40)
                byte = read_byte(fd, escape_timeout_ms);
        return true;
    }
    if (second == 'O') { // SS3: F1-F4 and cursor keys in application mode
        read_byte(fd, escape_timeout_ms);
        return true;
    }
    skip_utf8_continuation(fd, second); // Alt with a key: one key, one code
    return false;
}

} // namespace

void console_wait_for_key()
{
    if (second_code_pending) {
        second_code_pending = false;
        return;
    }
    int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return; // no controlling terminal
    if (tcgetattr(fd, &settings_before) != 0) {
        close(fd);
        return;
    }
    settings_waiting = settings_before;
    settings_waiting.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    settings_waiting.c_cc[VMIN] = 1;
    settings_waiting.c_cc[VTIME] = 0;

    terminal_fd = fd;
    install_handlers();
    // TCSANOW, not TCSAFLUSH: a key typed ahead while the report printed
    // ends this wait, as a console's key read does.
    if (tcsetattr(fd, TCSANOW, &settings_waiting) == 0) {
        second_code_pending = read_key(fd);
        tcsetattr(fd, TCSANOW, &settings_before);
    }
    restore_handlers();
    terminal_fd = -1;
    close(fd);
}
