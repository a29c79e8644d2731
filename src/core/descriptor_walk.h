#ifndef X86IDENT_DESCRIPTOR_WALK_H
#define X86IDENT_DESCRIPTOR_WALK_H

#include <stdint.h>

#include "cpuid.h"

// Which registers of a descriptor leaf carry descriptor bytes: the three upper
// bytes of `upper_bytes` (its low byte is no descriptor, its bit 31 is not
// tested), then all four bytes of each `whole` register (null ends the list)
// whose bit 31 is clear; a register with bit 31 set carries none.
struct DescriptorRegisters {
    uint32_t CpuidRegisters::*upper_bytes;
    uint32_t CpuidRegisters::*whole[3];
};

// Queries `leaf` as often as the low byte of its eax says, each query's count
// the new limit (255 before the first), and hands every descriptor byte to
// `print_descriptor`, in register order and lowest byte first, as the value
// shifted down to it (bits 0-7; 0 bytes too). Leaf 2, and Cyrix's 0x80000005.
void walk_descriptor_leaf(uint32_t leaf, const DescriptorRegisters &registers, void (*print_descriptor)(uint32_t value));

#endif
