// No console to wait on: WebAssembly under WASI, in a browser or in node.
// A pause returns at once; the web page shows the pauses through
// --mark-pauses and steps through them itself.
#include "core/wait_for_key.h"

void console_wait_for_key() {}
