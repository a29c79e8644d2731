#ifndef X86IDENT_REGISTER_TEXT_H
#define X86IDENT_REGISTER_TEXT_H

#include <stdint.h>

// Prints the 16 bytes of four register values as text, each value low byte
// first (the order in which the processor packs its name string), up to the
// first 0 byte. Nothing is added around the text.
void print_register_text(uint32_t first, uint32_t second, uint32_t third, uint32_t fourth);

// Queries leaves 0x80000002, 0x80000003 and 0x80000004 in turn and prints
// each one's register text: the processor name string, pieces back to back.
void print_name_string_leaves();

#endif
