#include "amd_report.h"

#include "core/cpuid.h"
#include "core/output.h"
#include "core/register_bits.h"
#include "core/register_text.h"
#include "core/wait_for_key.h"
#include "amd_tables.h"

namespace {

// Family 5 model 0 has two fixed lines at bits 9 and 13, set or not.
void print_standard_flags(uint32_t flags, int family, int model)
{
    const bool family_5_model_0 = family == 5 && model == 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (family_5_model_0 && bit == 9)
            out_printf("Extensie paginare globala\n");
        else if (family_5_model_0 && bit == 13)
            out_printf("13 - rezervat\n");
        else if (bit_set(flags, bit))
            out_printf("%s\n", amd_feature_names[bit]);
    }
}

// Leaf-1 family 5 with extended model 0 has a fixed line at bit 9.
void print_extended_flags(uint32_t flags, int family, int extended_model)
{
    for (int bit = 0; bit < 32; ++bit) {
        if (family == 5 && extended_model == 0 && bit == 9)
            out_printf("extensie paginare globala\n");
        else if (bit_set(flags, bit))
            out_printf("%s\n", amd_feature_names[bit]);
    }
}

} // namespace

void report_amd(int32_t max_level)
{
    int family = 0; // stays 0 when leaf 1 is not queried
    out_printf("AMD-functii specifice\n");

    if (max_level >= 1) {
        cpuid_query(1);
        const uint32_t signature = CpuidResult.eax;
        const uint32_t standard_flags = CpuidResult.edx;
        const int model = static_cast<int>((signature >> 4) & 0xf);
        family = static_cast<int>((signature >> 8) & 0xf);

        out_printf("Versiune %08lx:\n", static_cast<unsigned long>(signature));
        out_printf("Family: %d Model: %d [", family, model);
        const AmdModelName name = amd_model_name(static_cast<unsigned>(family), static_cast<unsigned>(model));
        if (name.numbered)
            out_printf("%s%d", name.text, model);
        else
            out_printf("%s", name.text);
        out_printf("]\n\n");
        wait_for_key();
        out_printf("Flaguri standard %08lx:\n", static_cast<unsigned long>(standard_flags));
        print_standard_flags(standard_flags, family, model);
    }

    cpuid_query(0x80000000);
    const uint32_t max_extended_leaf = CpuidResult.eax;
    if (max_extended_leaf == 0)
        return;

    if (max_extended_leaf >= 0x80000001u) {
        cpuid_query(0x80000001);
        const uint32_t signature = CpuidResult.eax;
        const uint32_t extended_flags = CpuidResult.edx;
        const int extended_family = static_cast<int>((signature >> 8) & 0xf);
        const int extended_model = static_cast<int>((signature >> 4) & 0xf);
        wait_for_key();
        out_printf("Generatie: %d Model: %d\n", extended_family, extended_model);
        out_printf("Flaguri extinse %08lx:\n", static_cast<unsigned long>(extended_flags));
        print_extended_flags(extended_flags, family, extended_model);
    }
    out_printf("\n");

    // All three name leaves, also when the highest leaf is 0x80000002 or 3.
    if (max_extended_leaf >= 0x80000002u) {
        out_printf("String nume procesor: ");
        print_name_string_leaves();
        out_printf("\n");
    }

    report_amd_caches(family, max_extended_leaf);
}
