// Fixed texts of the AMD report.
#ifndef X86IDENT_AMD_TABLES_H
#define X86IDENT_AMD_TABLES_H

// Bit n of leaf-1 edx or leaf-0x80000001 edx -> its line.
extern const char *const amd_feature_names[32];

// 4-bit associativity code of leaf 0x80000006 -> its name.
extern const char *const amd_associativity_names[16];

// A model name: `text`, followed by the model number in decimal when
// `numbered` (the names whose text ends in the number itself).
struct AmdModelName {
    const char *text;
    bool numbered;
};

// Model name of a leaf-1 family and model; an empty text where there is none.
AmdModelName amd_model_name(unsigned family, unsigned model);

#endif
