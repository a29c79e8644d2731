// Whether the processor has CPUID, decided as the processor manuals say:
// only then can a program change the ID bit (21) of EFLAGS.
#ifndef X86IDENT_CPUID_PRESENCE_H
#define X86IDENT_CPUID_PRESENCE_H

#include <stdint.h>

constexpr uint32_t eflags_id_bit = uint32_t{1} << 21;

// Flips the ID bit through `write_flags`, reads it back through
// `read_flags`, and puts EFLAGS back as it was. True when the bit changed.
bool eflags_id_bit_toggles(uint32_t (*read_flags)(), void (*write_flags)(uint32_t));

#endif
