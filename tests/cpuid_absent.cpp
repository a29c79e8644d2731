// Back end of a processor without CPUID (a 386): the ID bit test fails, and
// a query, which would fault there, must never be made.
#include <stdlib.h>

#include "core/cpuid.h"

CpuidRegisters CpuidResult;

void cpuid_query(uint32_t)
{
    abort();
}

bool cpuid_instruction_present()
{
    return false;
}
