// Fixed texts of the Cyrix report.
#ifndef X86IDENT_CYRIX_TABLES_H
#define X86IDENT_CYRIX_TABLES_H

// Leaf-1 edx bits 0 to 30 -> their lines. Family 5 model 0 has another line
// for bit 13 and the same for every other bit.
extern const char *const cyrix_std_flag_names[31];
extern const char *const cyrix_f5m0_bit_13_name;

// Leaf-0x80000001 edx bits 0 to 31 -> their lines.
extern const char *const cyrix_ext_flag_names[32];

// Names between the brackets; "" where there is none.
const char *cyrix_std_name(unsigned family, unsigned model);
const char *cyrix_ext_name(unsigned family);

#endif
