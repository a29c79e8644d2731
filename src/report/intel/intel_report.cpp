#include "intel_report.h"

#include "core/cpuid.h"
#include "core/output.h"
#include "core/register_bits.h"
#include "core/register_text.h"
#include "core/wait_for_key.h"
#include "intel_tables.h"

namespace {

constexpr int feature_hyper_threading = 28;

// Leaf 1: signature, brand index, CLFLUSH, APIC ID, siblings and flags.
void print_identification()
{
    cpuid_query(1);
    const uint32_t signature = CpuidResult.eax;
    const uint32_t ebx = CpuidResult.ebx;
    const uint32_t features = CpuidResult.edx;

    const int stepping = static_cast<int>(signature & 0xf);
    const int model = static_cast<int>((signature >> 4) & 0xf);
    const int family = static_cast<int>((signature >> 8) & 0xf);
    const int type = static_cast<int>((signature >> 12) & 0x3);
    // Every bit from 14 up, extended model and family included.
    const int reserved = static_cast<int>(signature >> 14);
    const int extended_model = static_cast<int>((signature >> 16) & 0xf);
    const int extended_family = static_cast<int>((signature >> 20) & 0xff);
    const int brand_index = static_cast<int>(ebx & 0xff);
    const int clflush_size = static_cast<int>((ebx >> 8) & 0xff);
    const int siblings = static_cast<int>((ebx >> 16) & 0xff);
    const int apic_id = static_cast<int>((ebx >> 24) & 0xff);

    out_printf("Version %08lx:\n", static_cast<unsigned long>(signature));
    out_printf("Type %d - %s\n", type, intel_type_names[type]);
    out_printf("Familia %d - ", family);
    wait_for_key(); // mid-line, before the family name
    out_printf("%s\n", intel_family_names[family]);
    if (family == 15)
        out_printf("Familia extinsa  %d\n", extended_family);
    out_printf("Model %d - %s\n", model, intel_model_name(static_cast<unsigned>(family), static_cast<unsigned>(model)));
    if (model == 15)
        out_printf("Model extins %d\n", extended_model);
    out_printf("Stepping %d\n", stepping);
    out_printf("Reserved %d\n\n", reserved);

    if (brand_index != 0) {
        out_printf("Index Producator: %d [", brand_index);
        if (brand_index < 9)
            out_printf("%s]\n", intel_brand_names[brand_index]);
        else
            out_printf("not in table]\n");
    }

    cpuid_query(0x80000000);
    const uint32_t max_extended_leaf = CpuidResult.eax;
    // At least 0x80000004, unsigned: bit 31 set and the three name leaves there.
    if (max_extended_leaf >= 0x80000004u) {
        out_printf("String extins producator: \"");
        print_name_string_leaves();
        out_printf("\"\n");
    }

    // The field itself, in 8-byte units; feature bit 19 is not consulted.
    if (clflush_size != 0)
        out_printf("CLFLUSH marimea liniei pt cache instructiuni : %d\n", clflush_size);
    if (apic_id != 0)
        out_printf("Initial APIC ID: %d\n", apic_id);
    if (bit_set(features, feature_hyper_threading))
        out_printf("Hyper threading siblings: %d\n", siblings);

    out_printf("\nFeature flags %08x:\n", static_cast<unsigned int>(features));
    for (int bit = 0; bit < 32; ++bit)
        if (bit_set(features, bit))
            out_printf("%s\n", intel_feature_names[bit]);
    out_printf("\n");
}

// Leaf-1 signature and leaf-3 ecx/edx, in six groups of four hex digits;
// printed whenever leaf 3 exists, whatever feature bit 18 says.
void print_serial_number()
{
    cpuid_query(1);
    const unsigned long signature = CpuidResult.eax;
    cpuid_query(3);
    const unsigned long ecx = CpuidResult.ecx;
    const unsigned long edx = CpuidResult.edx;

    out_printf("Numar serial procesor serial: ");
    out_printf("%04lX", signature >> 16);
    out_printf("-%04lX", signature & 0xffff);
    out_printf("-%04lX", edx >> 16);
    out_printf("-%04lX", edx & 0xffff);
    out_printf("-%04lX", ecx >> 16);
    out_printf("-%04lX\n", ecx & 0xffff);
}

} // namespace

void report_intel(int32_t max_level)
{
    out_printf("Intel-specific functions:\n");
    if (max_level >= 1)
        print_identification();
    report_intel_descriptors(max_level);
    if (max_level >= 3)
        print_serial_number();
}
