#include "intel_tables.h"

const char *const intel_feature_names[32] = {
    "FPU    Floating Point Unit",
    "VME    Virtual 8086 Mode Enhancements",
    "DE     Debugging Extensions",
    "PSE    Page Size Extensions",
    "TSC    Time Stamp Counter",
    "MSR    Model Specific Registers",
    "PAE    Physical Address Extension",
    "MCE    Machine Check Exception",
    "CX8    COMPXCHG8B Instruction",
    "APIC   On-chip Advanced Programmable Interrupt Controller present and enabled",
    "10     Reserved",
    "SEP    Fast System Call",
    "MTRR   Memory Type Range Registers",
    "PGE    PTE Global Flag",
    "MCA    Machine Check Architecture",
    "CMOV   Conditional Move and Compare Instructions",
    "FGPAT  Page Attribute Table",
    "PSE-36 36-bit Page Size Extension",
    "PN     Processor Serial Number present and enabled",
    "CLFSH  CFLUSH instruction",
    "20     reserved",
    "DS     Debug store",
    "ACPI   Thermal Monitor and Clock Ctrl",
    "MMX    MMX instruction set",
    "FXSR   Fast FP/MMX Streaming SIMD Extensions save/restore",
    "SSE    Streaming SIMD Extensions instruction set",
    "SSE2   SSE2 extensions",
    "SS     Self Snoop",
    "HT     Hyper Threading",
    "TM     Thermal monitor",
    "30     reserved",
    "31     reserved",
};

const char *const intel_brand_names[9] = {
    "brand 0",
    "Celeron processor",
    "Pentium III processor",
    "Intel Pentium III Xeon processor",
    "brand 4",
    "brand 5",
    "brand 6",
    "brand 7",
    "Intel Pentium 4 processor",
};

const char *const intel_type_names[4] = {
    "Original OEM",
    "Overdrive",
    "Dual-capable",
    "Reserved",
};

const char *const intel_family_names[16] = {
    "", "", "",
    "i386",        // 3
    "i486",        // 4
    "Pentium",     // 5
    "Pentium Pro", // 6
    "", "", "", "", "", "", "", "",
    "Pentium 4",   // 15
};

namespace {

const char *const family_4_model_names[16] = {
    "DX",                      // 0
    "DX",                      // 1
    "SX",                      // 2
    "487/DX2",                 // 3
    "SL",                      // 4
    "SX2",                     // 5
    "",                        // 6
    "write-back enhanced DX2", // 7
    "DX4",                     // 8
    "", "", "", "", "", "", "",
};

const char *const family_5_model_names[16] = {
    "",               // 0
    "60/66",          // 1
    "75-200",         // 2
    "for 486 system", // 3
    "MMX",            // 4
    "", "", "", "", "", "", "", "", "", "", "",
};

const char *const family_6_model_names[16] = {
    "",                                               // 0
    "Pentium Pro",                                    // 1
    "",                                               // 2
    "Pentium II Model 3",                             // 3
    "",                                               // 4
    "Pentium II Model 5/Xeon/Celeron",                // 5
    "Celeron",                                        // 6
    "Pentium III/Pentium III Xeon - L2 cache extern", // 7
    "Pentium III/Pentium III Xeon - L2 cache intern", // 8
    "", "", "", "", "", "", "",
};

struct Descriptor {
    unsigned char byte;
    const char *text;
};

// In byte order. Byte 0x82 is a 256 KB cache: the text once said "6KB".
const Descriptor descriptors[] = {
    {0x01, "Instructiuni TLB: pagina 4KB , 4 cai setate asociativ, 32 intrari\n"},
    {0x02, "Instructiuni TLB: pagina 4MB , 4 cai setate asociativ, 2 intrari\n"},
    {0x03, "Date TLB: pagina 4KB , 4 cai setate asociativ, 64 intrari\n"},
    {0x04, "Date TLB: pagina 4MB, 4 cai setate asociativ, 8 intrari\n"},
    {0x06, " cache instructiuni L1: 8KB, 4 cai setate asociativ, 32 octeti/liniei\n"},
    {0x08, " cache instructiuni L1: 16KB, 4 cai setate asociativ, 32 octeti/linie\n"},
    {0x0a, " cache date L1: 8KB, 2 cai setate asociativ, 32 octeti/linie \n"},
    {0x0c, " cache date L1: 16KB, 4 cai setate asociativ, 32 octeti/linie \n"},
    {0x40, "Fara  cache L2, sau cu L2 cache extins, fara L3 cache\n"},
    {0x41, "L2 cache: 128KB, 4 cai setate asociativ, 32 octeti/linie \n"},
    {0x42, "L2 cache: 256KB, 4 cai setate asociativ, 32 octeti/linie\n"},
    {0x43, "L2 cache: 512KB, 4 cai setate asociativ, 32 octeti/linie\n"},
    {0x44, "L2 cache: 1MB, 4 cai setate asociativ, 32 octeti/linie\n"},
    {0x45, "L2 cache: 2MB, 4 cai setate asociativ, 32 octeti/linie\n"},
    {0x50, "Instructiuni TLB: 4KB si 2MB sau 4MB pagini, 64 intrari\n"},
    {0x51, "Instructiuni TLB: 4KB si 2MB sau 4MB pagini, 128 intrari\n"},
    {0x52, "Instructiuni TLB: 4KB si 2MB sau 4MB pagini, 256 intrari\n"},
    {0x5b, "Date TLB: 4KB si 4MB pagini, 64 intrari\n"},
    {0x5c, "Date TLB: 4KB si 4MB pagini, 128 intrari\n"},
    {0x5d, "Date TLB: 4KB si 4MB pagini, 256 intrari\n"},
    {0x66, " cache date L1 : 8KB, 4 cai setate asociativ , 64 octeti/linie\n"},
    {0x67, "cache date L1 : 16KB, 4 cai setate asociativ, 64 octeti/linie\n"},
    {0x68, "cache date L1: 32KB, 4 cai setate asociativ, 64 octeti/linie\n"},
    {0x70, "Trace cache: 12K-micro-op, 4 cai setate asociativ\n"},
    {0x71, "Trace cache: 16K-micro-op, 4 cai setate asociativ\n"},
    {0x72, "Trace cache: 32K-micro-op, 4 cai setate asociativ\n"},
    {0x79, "cache L2: 128KB, 8 setate asociativ, sectorizate, 64 octeti/linie\n"},
    {0x7a, "cache L2: 256KB, 8-cai setate asociativ, sectorizate, 64 octeti/linie\n"},
    {0x7b, "cache L2: 512KB, 8 cai setate asociativ, sectorizate, 64 octeti/linie\n"},
    {0x7c, "cache L2: 1MB, 8 cai setate asociativ, sectorizate, 64 octeti/linie\n"},
    {0x82, "cache L2: 256KB, 8 cai setate asociativ, 32 octeti/linie\n"},
    {0x83, "cache L2: 512KB, 8-way set assoc 32 octeti/linie\n"},
    {0x84, "cache L2: 1MB, 8-way set assoc, 32 octeti/linie\n"},
    {0x85, "cache L2: 2MB, 8-way set assoc, 32 octeti/linie\n"},
};

} // namespace

const char *intel_model_name(unsigned family, unsigned model)
{
    switch (family) {
    case 4:
        return family_4_model_names[model & 0xf];
    case 5:
        return family_5_model_names[model & 0xf];
    case 6:
        return family_6_model_names[model & 0xf];
    default:
        return "";
    }
}

const char *intel_descriptor_text(unsigned byte)
{
    for (const Descriptor &descriptor : descriptors)
        if (descriptor.byte == byte)
            return descriptor.text;
    return nullptr;
}
