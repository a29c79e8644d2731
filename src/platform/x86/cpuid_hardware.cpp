// Hardware back end: the processor's own CPUID instruction, through the
// compiler's intrinsics (which keep ebx right in 32-bit PIC code too).
#include "core/cpuid.h"

#include "core/cpuid_presence.h"

#if defined(_MSC_VER)
#include <intrin.h>
#elif defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#include <cpuid.h>
#include <x86intrin.h>
#else
#error "the hardware CPUID back end needs an x86 target"
#endif

CpuidRegisters CpuidResult;

void cpuid_query(uint32_t leaf)
{
#if defined(_MSC_VER)
    int registers[4];
    __cpuidex(registers, static_cast<int>(leaf), 0);
    CpuidResult.eax = static_cast<uint32_t>(registers[0]);
    CpuidResult.ebx = static_cast<uint32_t>(registers[1]);
    CpuidResult.ecx = static_cast<uint32_t>(registers[2]);
    CpuidResult.edx = static_cast<uint32_t>(registers[3]);
#else
    unsigned int eax, ebx, ecx, edx;
    __cpuid_count(leaf, 0, eax, ebx, ecx, edx);
    CpuidResult.eax = eax;
    CpuidResult.ebx = ebx;
    CpuidResult.ecx = ecx;
    CpuidResult.edx = edx;
#endif
}

#if defined(__i386__) || defined(_M_IX86)
namespace {
uint32_t read_eflags()
{
    return static_cast<uint32_t>(__readeflags());
}

void write_eflags(uint32_t flags)
{
    __writeeflags(flags);
}
} // namespace

// A 386 or an early 486 has no CPUID; a program can tell only by the ID bit.
bool cpuid_instruction_present()
{
    return eflags_id_bit_toggles(read_eflags, write_eflags);
}
#else
// Every 64-bit x86 processor has CPUID.
bool cpuid_instruction_present()
{
    return true;
}
#endif
