// The one seam through which the report learns about the processor.
#ifndef X86IDENT_CPUID_H
#define X86IDENT_CPUID_H

#include <cstdint>

// Outputs of the most recent query. Readers copy what they still need
// before their next query: every query overwrites all four fields.
struct CpuidRegisters {
    std::uint32_t eax;
    std::uint32_t ebx;
    std::uint32_t ecx;
    std::uint32_t edx;
};

extern CpuidRegisters CpuidResult;

// Runs CPUID for `leaf` (sub-leaf 0) and stores the outputs in CpuidResult.
// Two back ends exist, chosen at link time: the processor's own
// instruction (cpuid_hardware.cpp) and a recorded table (cpuid_recorded.cpp).
void cpuid_query(std::uint32_t leaf);

#endif
