#include "core/cpuid.h"
#include "core/descriptor_walk.h"
#include "core/output.h"
#include "core/wait_for_key.h"
#include "intel_report.h"
#include "intel_tables.h"

namespace {
// Leaf 2: the three upper bytes of eax (its low byte is the count), and ebx,
// ecx and edx; eax bit 31 is not tested.
constexpr DescriptorRegisters leaf_2_registers = {
    &CpuidRegisters::eax, {&CpuidRegisters::ebx, &CpuidRegisters::ecx, &CpuidRegisters::edx}};
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

    walk_descriptor_leaf(2, leaf_2_registers, print_intel_descriptor);
}
