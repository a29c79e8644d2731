#include "cyrix_tables.h"

const char *const cyrix_std_flag_names[31] = {
    "FPU   Floating Point Unit",
    "V86   Virtual Mode Extensions",
    "Debug Extension",
    "4MB Page Size",
    "Time Stamp Counter",
    "RDMSR/WRMSR (Model Specific Registers)",
    "PAE",
    "Machine Check Exception",
    "COMPXCHG8B Instruction",
    "APIC - On-chip Advanced Programmable Interrupt Controller present and enabled",
    "10 - Reserved",
    "11 - Reserved",
    "MTRR  Memory Type Range Registers",
    "Global Paging Extension",
    "Machine Check",
    "CMOV  Conditional Move Instruction",
    "16 - reserved",
    "17 - reserved",
    "18 - reserved",
    "19 - reserved",
    "20 - reserved",
    "21 - reserved",
    "22 - reserved",
    "MMX instructions",
    "24 - reserved",
    "25 - reserved",
    "26 - reserved",
    "27 - reserved",
    "28 - reserved",
    "29 - reserved",
    "30 - reserved",
};

const char *const cyrix_f5m0_bit_13_name = "13 - reserved";

const char *const cyrix_ext_flag_names[32] = {
    "FPU   Floating Point Unit",
    "V86   Virtual Mode Extensions",
    "Debug Extension",
    "Page Size Extensions",
    "Time Stamp Counter",
    "Cyrix MSR",
    "PAE",
    "MC Exception",
    "COMPXCHG8B",
    "APIC on chip",
    "SYSCALL/SYSRET",
    "11 - reserved",
    "MTRR",
    "Global bit",
    "Machine Check",
    "CMOV",
    "FPU CMOV",
    "17 - reserved",
    "18 - reserved",
    "19 - reserved",
    "20 - reserved",
    "21 - reserved",
    "22 - reserved",
    "MMX",
    "Extended MMX",
    "25 - reserved",
    "26 - reserved",
    "27 - reserved",
    "28 - reserved",
    "29 - reserved",
    "30 - reserved",
    "3DNow instructions",
};

const char *cyrix_std_name(unsigned family, unsigned model)
{
    if (family == 4 && model == 4)
        return "MediaGX";
    if (family == 5 && model == 2)
        return "6x86";
    if (family == 5 && model == 4)
        return "BXm";
    if (family == 6 && model == 0)
        return "6x86/MX";
    return "";
}

const char *cyrix_ext_name(unsigned family)
{
    switch (family) {
    case 4:
        return "MediaGX";
    case 5:
        return "6x86/GXm";
    case 6:
        return "6x86/MX";
    default:
        return "";
    }
}
