// The decision whether the processor has CPUID, on simulated EFLAGS, and
// x86ident on a processor that has none.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/cpuid_presence.h"
#include "process_runner.h"

namespace {

// EFLAGS of a simulated processor: `writable` says which bits a program can change.
std::uint32_t flags;
std::uint32_t writable;

std::uint32_t read_flags()
{
    return flags;
}

void write_flags(std::uint32_t value)
{
    flags = (flags & ~writable) | (value & writable);
}

TEST(CpuidPresence, OnlyAWritableIdBitMeansCpuid)
{
    constexpr std::uint32_t usual = 0x00000246; // ZF, PF, IF and the fixed bit 1
    const struct {
        const char *processor;
        std::uint32_t flags;
        std::uint32_t writable;
        bool present;
    } cases[] = {
        {"486 with CPUID, ID clear", usual, 0x00ffffff, true},
        {"486 with CPUID, ID set", usual | eflags_id_bit, 0x00ffffff, true},
        {"386: ID stuck at 0", usual, 0x0003ffff, false},
        {"ID stuck at 1", usual | eflags_id_bit, 0x001fffff, false},
    };
    for (const auto &c : cases) {
        flags = c.flags;
        writable = c.writable;
        EXPECT_EQ(eflags_id_bit_toggles(read_flags, write_flags), c.present) << c.processor;
        EXPECT_EQ(flags, c.flags) << c.processor << ": EFLAGS not put back";
    }
}

TEST(CpuidPresence, WithoutCpuidX86identSaysSoAndPrintsNothing)
{
    const ProcessResult result = run_process({X86IDENT_WITHOUT_CPUID_PATH});
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "x86ident: this processor has no CPUID instruction\n");
}

} // namespace
