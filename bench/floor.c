/* The floor: the least a program can do and still show every CPUID leaf.
 * It executes CPUID for every standard and extended leaf and prints the raw
 * lines, nothing else. x86ident is measured against it. */
#include <cpuid.h>
#include <stdio.h>

static void dump(unsigned int first, unsigned int last)
{
    for (unsigned int leaf = first; leaf >= first && leaf <= last; ++leaf) {
        unsigned int eax, ebx, ecx, edx;
        __cpuid_count(leaf, 0, eax, ebx, ecx, edx);
        printf("%08x %08x %08x %08x %08x\n", leaf, eax, ebx, ecx, edx);
        if (leaf == 0xffffffffu)
            break;
    }
}

int main(void)
{
    unsigned int eax, ebx, ecx, edx;
    __cpuid_count(0, 0, eax, ebx, ecx, edx);
    dump(0, eax & 0xffff);
    __cpuid_count(0x80000000u, 0, eax, ebx, ecx, edx);
    dump(0x80000000u, eax);
    return 0;
}
