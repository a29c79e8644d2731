#include "register_text.h"

#include "cpuid.h"
#include "output.h"

void print_register_text(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth)
{
    char text[17];
    const uint32_t values[4] = {first, second, third, fourth};
    for (int value = 0; value < 4; ++value)
        for (int i = 0; i < 4; ++i)
            text[4 * value + i] = static_cast<char>((values[value] >> (8 * i)) & 0xff);
    text[16] = 0;
    out_printf("%s", text);
}

void print_name_string_leaves()
{
    for (uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
        cpuid_query(leaf);
        print_register_text(CpuidResult.eax, CpuidResult.ebx, CpuidResult.ecx, CpuidResult.edx);
    }
}
