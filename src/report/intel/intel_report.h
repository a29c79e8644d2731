#ifndef X86IDENT_INTEL_REPORT_H
#define X86IDENT_INTEL_REPORT_H

#include <stdint.h>

// Decoded report for Intel processors ("Genu"ineIntel).
void report_intel(int32_t max_level);

// One line for one leaf-2 descriptor byte (bits 0-7 of `value`); nothing for 0.
void print_intel_descriptor(uint32_t value);

// Leaf-2 cache and TLB descriptor section; runs when max_level >= 2.
void report_intel_descriptors(int32_t max_level);

#endif
