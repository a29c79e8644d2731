// Fixed texts of the Intel report.
#ifndef X86IDENT_INTEL_TABLES_H
#define X86IDENT_INTEL_TABLES_H

#include <stdint.h>

// Leaf-1 edx bit n -> its line.
extern const char *const intel_feature_names[32];

// Brand index (leaf-1 ebx bits 0-7) below 9 -> its name.
extern const char *const intel_brand_names[9];

// Processor type (leaf-1 eax bits 12-13) -> its name.
extern const char *const intel_type_names[4];

// Family -> its name; "" where there is none.
extern const char *const intel_family_names[16];

// Model name of a family and model; "" where there is none.
const char *intel_model_name(unsigned family, unsigned model);

// Text of a leaf-2 descriptor byte, or nullptr for a byte without one.
const char *intel_descriptor_text(unsigned byte);

#endif
