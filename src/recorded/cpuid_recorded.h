// Recorded back end: CPUID answered from a table of leaves, for the replay
// tool and the tests. A leaf absent from the table reads as four zeros.
#ifndef X86IDENT_CPUID_RECORDED_H
#define X86IDENT_CPUID_RECORDED_H

#include <cstddef>
#include <cstdint>
#include <functional>

struct RecordedLeaf {
    std::uint32_t leaf;
    std::uint32_t eax;
    std::uint32_t ebx;
    std::uint32_t ecx;
    std::uint32_t edx;
};

// Makes `leaves` the processor that cpuid_query answers for. Where a leaf
// appears more than once, the first entry wins. The table is copied.
void cpuid_use_recording(const RecordedLeaf *leaves, std::size_t count);

// Tests: when set, called after every query with its leaf; it may look at
// CpuidResult or change it (a processor whose answers vary between queries).
void cpuid_after_query(std::function<void(std::uint32_t leaf)> hook);

#endif
