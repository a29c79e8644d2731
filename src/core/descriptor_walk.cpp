#include "descriptor_walk.h"

void walk_descriptor_leaf(uint32_t leaf, const DescriptorRegisters &registers, void (*print_descriptor)(uint32_t value))
{
    int query_count = 255;
    for (int query = 0; query < query_count; ++query) {
        cpuid_query(leaf);
        const CpuidRegisters answer = CpuidResult;
        query_count = static_cast<int>(answer.eax & 0xff);
        const uint32_t upper = answer.*registers.upper_bytes;
        print_descriptor(upper >> 8);
        print_descriptor(upper >> 16);
        print_descriptor(upper >> 24);
        for (uint32_t CpuidRegisters::*whole : registers.whole) {
            if (whole == nullptr)
                break;
            const uint32_t value = answer.*whole;
            if ((value & 0x80000000u) != 0)
                continue;
            for (int shift = 0; shift < 32; shift += 8)
                print_descriptor(value >> shift);
        }
    }
}
