// The one seam through which the report learns about the processor.
#ifndef X86IDENT_CPUID_H
#define X86IDENT_CPUID_H

#include <stdint.h>

// Outputs of the most recent query. Readers copy what they still need
// before their next query: every query overwrites all four fields.
struct CpuidRegisters {
    uint32_t eax;
    uint32_t ebx;
    uint32_t ecx;
    uint32_t edx;
};

extern CpuidRegisters CpuidResult;

// Runs CPUID for `leaf` (sub-leaf 0) and stores the outputs in CpuidResult.
// Two back ends exist, chosen at link time: the processor's own instruction
// (platform/x86/) and a recorded table (recorded/). The reports never know which.
void cpuid_query(uint32_t leaf);

// False on a processor that has no CPUID instruction (a 386, an early 486),
// where cpuid_query would fault; x86ident tests it before its first query.
bool cpuid_instruction_present();

#endif
