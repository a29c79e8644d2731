// Recorded back end of the DOS test programs: CPUID answered from the leaves
// of one dump, compiled in. The first record of a leaf wins; a leaf the dump
// does not hold reads as four zeros.
#include "core/cpuid.h"

namespace {
struct Record {
    uint32_t leaf;
    CpuidRegisters registers;
};

const Record records[] = {
#include X86IDENT_RECORDED_LEAVES
};
} // namespace

CpuidRegisters CpuidResult;

void cpuid_query(uint32_t leaf)
{
    for (const Record &record : records)
        if (record.leaf == leaf) {
            CpuidResult = record.registers;
            return;
        }
    CpuidResult = CpuidRegisters{0, 0, 0, 0};
}

bool cpuid_instruction_present()
{
    return true;
}
