#include "wait_for_key.h"

#include "output.h"

namespace {
PauseMode pause_mode = PauseMode::console;
}

void set_pause_mode(PauseMode mode)
{
    pause_mode = mode;
}

void wait_for_key()
{
    switch (pause_mode) {
    case PauseMode::console:
        // Text printed before the pause, also mid-line, is on screen during it.
        out_flush();
        console_wait_for_key();
        break;
    case PauseMode::none:
        break;
    case PauseMode::mark:
        out_char('\f');
        break;
    }
}
