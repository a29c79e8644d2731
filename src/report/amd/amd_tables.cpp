#include "amd_tables.h"

const char *const amd_feature_names[32] = {
    "Floating Point Unit",
    "Virtual Mode Extensions",
    "Debugging Extensions",
    "Page Size Extensions",
    "Time Stamp Counter (with RDTSC and CR4 disable bit)",
    "Model Specific Registers with RDMSR & WRMSR",
    "PAE - Page Address Extensions",
    "Machine Check Exception",
    "COMPXCHG8B Instruction",
    "APIC",
    "10 - Reserved",
    "SYSCALL/SYSRET or SYSENTER/SYSEXIT instructions",
    "MTRR - Memory Type Range Registers",
    "Global paging extension",
    "Machine Check Architecture",
    "Conditional Move Instruction",
    "PAT - Page Attribute Table",
    "PSE-36 - Page Size Extensions",
    "18 - reserved",
    "19 - reserved",
    "20 - reserved",
    "21 - reserved",
    "AMD MMX Instruction Extensions",
    "MMX instructions",
    "FXSAVE/FXRSTOR",
    "25 - reserved",
    "26 - reserved",
    "27 - reserved",
    "28 - reserved",
    "29 - reserved",
    "3DNow! Instruction Extensions",
    "3DNow instructions",
};

const char *const amd_associativity_names[16] = {
    "L2 off",
    "Direct mapped",
    "2-way",
    "reserved",
    "4-way",
    "reserved",
    "8-way",
    "reserved",
    "16-way",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "reserved",
    "full",
};

namespace {

constexpr bool with_number = true;
constexpr bool as_is = false;

const AmdModelName family_5_model_names[16] = {
    {"K6 Model ", with_number},      // 0
    {"K6 Model ", with_number},      // 1
    {"K6 Model ", with_number},      // 2
    {"K6 Model ", with_number},      // 3
    {"K5/K6 model ", with_number},   // 4
    {"K5/K6 model ", with_number},   // 5
    {"K6 Model ", with_number},      // 6
    {"K6 Model ", with_number},      // 7
    {"K6-2 Model 8", as_is},         // 8
    {"K6-III Model 9", as_is},       // 9
    {"K5/K6 model ", with_number},   // 10
    {"K5/K6 model ", with_number},   // 11
    {"K5/K6 model ", with_number},   // 12
    {"K5/K6 model ", with_number},   // 13
    {"K5/K6 model ", with_number},   // 14
    {"K5/K6 model ", with_number},   // 15
};

const AmdModelName family_6_model_names[16] = {
    {"Duron/Athlon model ", with_number},           // 0
    {"Athlon model ", with_number},                 // 1
    {"Athlon model ", with_number},                 // 2
    {"Duron model 3", as_is},                       // 3
    {"Athlon model ", with_number},                 // 4
    {"Duron/Athlon model ", with_number},           // 5
    {"Athlon MP/Mobile Athlon model 6", as_is},     // 6
    {"Mobile Duron Model 7", as_is},                // 7
    {"Duron/Athlon model ", with_number},           // 8
    {"Duron/Athlon model ", with_number},           // 9
    {"Duron/Athlon model ", with_number},           // 10
    {"Duron/Athlon model ", with_number},           // 11
    {"Duron/Athlon model ", with_number},           // 12
    {"Duron/Athlon model ", with_number},           // 13
    {"Duron/Athlon model ", with_number},           // 14
    {"Duron/Athlon model ", with_number},           // 15
};

} // namespace

AmdModelName amd_model_name(unsigned family, unsigned model)
{
    switch (family) {
    case 4: // every model
        return {"486 model ", with_number};
    case 5:
        return family_5_model_names[model & 0xf];
    case 6:
        return family_6_model_names[model & 0xf];
    default:
        return {"", as_is};
    }
}
