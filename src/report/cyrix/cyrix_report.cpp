#include "cyrix_report.h"

#include "core/cpuid.h"
#include "core/descriptor_walk.h"
#include "core/leaf_walk.h"
#include "core/output.h"
#include "core/register_bits.h"
#include "core/register_text.h"
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
    const bool family_5_model_0 = family == 5 && model == 0;
    for (int bit = 0; bit < 31; ++bit)
        if (bit_set(flags, bit))
            out_printf("%s\n", family_5_model_0 && bit == 13 ? cyrix_f5m0_bit_13_name : cyrix_std_flag_names[bit]);
    // The table stops at bit 30; bit 31 is reserved on these processors.
    if (bit_set(flags, 31))
        out_printf("31 - reserved\n");
}

// Leaf 2: the three upper bytes of eax, then edx (ebx and ecx are not
// examined); leaf 0x80000005: the three upper bytes of ebx, then ecx.
constexpr DescriptorRegisters leaf_2_registers = {&CpuidRegisters::eax, {&CpuidRegisters::edx}};
constexpr DescriptorRegisters leaf_80000005_registers = {&CpuidRegisters::ebx, {&CpuidRegisters::ecx}};

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
        walk_descriptor_leaf(2, leaf_2_registers, print_cyrix_descriptor);
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
        walk_descriptor_leaf(0x80000005, leaf_80000005_registers, print_cyrix_descriptor);
}
