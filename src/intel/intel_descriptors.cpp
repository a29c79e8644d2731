#include "../driver/cpuid.h"
#include "../driver/output.h"
#include "../driver/wait_for_key.h"
#include "intel_report.h"
#include "intel_tables.h"

namespace {

// Bit 31 set: the register carries no descriptors.
void print_register_descriptors(uint32_t value)
{
    if ((value & 0x80000000u) != 0)
        return;
    print_intel_descriptor(value);
    print_intel_descriptor(value >> 8);
    print_intel_descriptor(value >> 16);
    print_intel_descriptor(value >> 24);
}

} // namespace

void print_intel_descriptor(uint32_t value)
{
    const unsigned byte = value & 0xff;
    if (byte == 0)
        return;
    out_printf("%02x: ", byte);
    const char *text = intel_descriptor_text(byte);
    out_printf("%s", text != nullptr ? text : "descriptor TLB/cache  necunoscut\n");
}

void report_intel_descriptors(int32_t max_level)
{
    if (max_level < 2)
        return;
    wait_for_key();
    out_printf("Informatii TLB si cache:\n");

    // The low byte of eax says how many times to query leaf 2; each query's
    // count is the new limit, and it is never a descriptor itself.
    int query_count = 255;
    for (int query = 0; query < query_count; ++query) {
        cpuid_query(2);
        const uint32_t eax = CpuidResult.eax;
        const uint32_t ebx = CpuidResult.ebx;
        const uint32_t ecx = CpuidResult.ecx;
        const uint32_t edx = CpuidResult.edx;
        query_count = static_cast<int>(eax & 0xff);
        // eax bit 31 is not tested: its three upper bytes always count.
        print_intel_descriptor(eax >> 8);
        print_intel_descriptor(eax >> 16);
        print_intel_descriptor(eax >> 24);
        print_register_descriptors(ebx);
        print_register_descriptors(ecx);
        print_register_descriptors(edx);
    }
}
