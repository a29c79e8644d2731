#include "cyrix_report.h"

#include "../driver/cpuid.h"
#include "../driver/leaf_walk.h"
#include "../driver/output.h"
#include "../driver/register_bits.h"
#include "../driver/register_text.h"
#include "cyrix_tables.h"

namespace {

void print_extended_leaf(uint32_t leaf)
{
    cpuid_query(leaf);
    out_printf("Leax in: 0x%x, Leax = %08lx Lebx = %08lx Lecx = %08lx Ledx = %08lx\n",
               static_cast<unsigned int>(leaf), static_cast<unsigned long>(CpuidResult.eax),
               static_cast<unsigned long>(CpuidResult.ebx), static_cast<unsigned long>(CpuidResult.ecx),
               static_cast<unsigned long>(CpuidResult.edx));
}

void print_signature(uint32_t signature, const char *name)
{
    out_printf("Familie: %d Model: %d [", static_cast<int>((signature >> 8) & 0xf),
               static_cast<int>((signature >> 4) & 0xf));
    out_printf("%s]\n\n", name);
}

void print_standard_identification()
{
    cpuid_query(1);
    const uint32_t signature = CpuidResult.eax;
    const uint32_t flags = CpuidResult.edx;
    const unsigned family = (signature >> 8) & 0xf;
    const unsigned model = (signature >> 4) & 0xf;

    print_signature(signature, cyrix_std_name(family, model));
    const char *const *names = family == 5 && model == 0 ? cyrix_f5m0_std_flag_names : cyrix_std_flag_names;
    for (int bit = 0; bit < 31; ++bit)
        if (bit_set(flags, bit))
            out_printf("%s\n", names[bit]);
    // The tables stop at bit 30; bit 31 is reserved on these processors.
    if (bit_set(flags, 31))
        out_printf("31 - reserved\n");
}

// Bit 31 set: the register carries no descriptors.
void print_register_descriptors(uint32_t value)
{
    if (bit_set(value, 31))
        return;
    print_cyrix_descriptor(value);
    print_cyrix_descriptor(value >> 8);
    print_cyrix_descriptor(value >> 16);
    print_cyrix_descriptor(value >> 24);
}

// Leaf 2 and leaf 0x80000005 are walked alike: the low byte of eax is how
// many times to query, each query's count the new limit. Of `upper_bytes`
// only the three upper bytes are descriptors; of `whole`, all four unless
// its bit 31 is set.
void print_descriptor_leaf(uint32_t leaf, uint32_t CpuidRegisters::*upper_bytes,
                           uint32_t CpuidRegisters::*whole)
{
    int count = 255;
    for (int query = 0; query < count; ++query) {
        cpuid_query(leaf);
        const CpuidRegisters registers = CpuidResult;
        count = static_cast<int>(registers.eax & 0xff);
        print_cyrix_descriptor(registers.*upper_bytes >> 8);
        print_cyrix_descriptor(registers.*upper_bytes >> 16);
        print_cyrix_descriptor(registers.*upper_bytes >> 24);
        print_register_descriptors(registers.*whole);
    }
}

void print_extended_identification()
{
    cpuid_query(0x80000001);
    const uint32_t signature = CpuidResult.eax;
    const uint32_t flags = CpuidResult.edx;

    print_signature(signature, cyrix_ext_name((signature >> 8) & 0xf));
    out_printf("Flaguri extinse:\n");
    for (int bit = 0; bit < 32; ++bit)
        if (bit_set(flags, bit))
            out_printf("%s\n", cyrix_ext_flag_names[bit]);
}

} // namespace

void print_cyrix_descriptor(uint32_t value)
{
    switch (value & 0xff) {
    case 0x70:
        out_printf("TLB: 32 intrari 4-cai associative pagini 4KB \n");
        break;
    case 0x80:
        out_printf("L1 Cache: 16KB 4-cai associative 16 octeti/line\n");
        break;
    default:
        break;
    }
}

void report_cyrix(int32_t max_level)
{
    out_printf("functii specifice Cyrix\n");
    cpuid_query(0x80000000);
    const uint32_t max_extended_leaf = CpuidResult.eax;
    walk_leaves(0x80000000, max_extended_leaf, print_extended_leaf);

    if (max_level >= 1)
        print_standard_identification();
    if (max_level >= 2)
        print_descriptor_leaf(2, &CpuidRegisters::eax, &CpuidRegisters::edx);
    if (max_extended_leaf < 0x80000000u)
        return;

    out_printf("\nExtended info:\n");
    if (max_extended_leaf >= 0x80000001u)
        print_extended_identification();
    out_printf("\n");
    // No line break after the name: a descriptor line continues it.
    if (max_extended_leaf >= 0x80000002u) {
        out_printf("string pt nume procesor: ");
        print_name_string_leaves();
    }
    if (max_extended_leaf >= 0x80000005u)
        print_descriptor_leaf(0x80000005, &CpuidRegisters::ebx, &CpuidRegisters::ecx);
}
