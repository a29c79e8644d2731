// Fixed texts of the Cyrix report.
#ifndef X86IDENT_CYRIX_TABLES_H
#define X86IDENT_CYRIX_TABLES_H

// Leaf-1 edx bits 0 to 30 -> their lines; the second table is for family 5
// model 0, which differs only at bit 13.
extern const char *const cyrix_std_flag_names[31];
extern const char *const cyrix_f5m0_std_flag_names[31];

// Leaf-0x80000001 edx bits 0 to 31 -> their lines.
extern const char *const cyrix_ext_flag_names[32];

// Names between the brackets; "" where there is none.
const char *cyrix_std_name(unsigned family, unsigned model);
const char *cyrix_ext_name(unsigned family);

#endif
