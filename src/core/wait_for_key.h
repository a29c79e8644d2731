// The pause between screens of the report.
#ifndef X86IDENT_WAIT_FOR_KEY_H
#define X86IDENT_WAIT_FOR_KEY_H

enum class PauseMode {
    console, // wait for one key press on the console (the program's own way)
    none,    // never wait
    mark,    // write a form feed (0x0C) where the pause falls, for scripts and tests
};

void set_pause_mode(PauseMode mode);

// Flushes the output, then pauses as the pause mode says.
void wait_for_key();

// Waits for one key on the controlling terminal, without echo and without
// Enter; returns at once when there is no console to wait on. A special key
// sends two codes: the first ends this wait, the second the next one.
void console_wait_for_key();

#endif
