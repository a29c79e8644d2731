#include "cpuid_presence.h"

bool eflags_id_bit_toggles(uint32_t (*read_flags)(), void (*write_flags)(uint32_t))
{
    const uint32_t before = read_flags();
    write_flags(before ^ eflags_id_bit);
    const uint32_t after = read_flags();
    write_flags(before);
    return ((before ^ after) & eflags_id_bit) != 0;
}
