// Console key read on Windows: _getch reads the console itself, whatever
// standard input is, and hands a special key's second code (after its 0 or
// 0xE0 prefix) to the next call, which then returns at once.
#include "core/wait_for_key.h"

#include <conio.h>
#include <windows.h>

void console_wait_for_key()
{
    HANDLE console = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    bool is_console = GetConsoleMode(console, &mode) != 0;
    CloseHandle(console);
    if (is_console)
        (void)_getch();
}
