#ifndef X86IDENT_CYRIX_REPORT_H
#define X86IDENT_CYRIX_REPORT_H

#include <stdint.h>

// Decoded report for Cyrix processors ("Cyri"xInstead). It never pauses.
void report_cyrix(int32_t max_level);

// The fixed line of a Cyrix descriptor byte (bits 0-7 of `value`), or nothing.
void print_cyrix_descriptor(uint32_t value);

#endif
