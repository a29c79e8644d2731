#ifndef X86IDENT_REGISTER_BITS_H
#define X86IDENT_REGISTER_BITS_H

#include <stdint.h>

// Bit `bit` (0 to 31) of a 32-bit register value.
inline bool bit_set(uint32_t value, int bit)
{
    return (value & (uint32_t{1} << bit)) != 0;
}

#endif
