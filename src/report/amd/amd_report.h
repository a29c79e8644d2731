#ifndef X86IDENT_AMD_REPORT_H
#define X86IDENT_AMD_REPORT_H

#include <stdint.h>

// Decoded report for AMD processors ("Auth"enticAMD): identification and
// flag lists, then caches, TLBs, power management and address sizes.
void report_amd(int32_t max_level);

// The second half of report_amd: leaves 0x80000005 to 0x80000008 with the
// two pauses between them. `family` is leaf 1's (0 when it was not queried).
void report_amd_caches(int family, uint32_t max_extended_leaf);

#endif
