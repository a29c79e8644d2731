// What every reader of a dump line form shares: the line being read, with
// its position, and the reading of hexadecimal numbers.
#ifndef X86IDENT_DUMP_LINE_H
#define X86IDENT_DUMP_LINE_H

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "../driver/cpuid_recorded.h"

// What a reader makes of one line: a record; a line of its form that holds
// no record the report reads (another sub-leaf, a header it needs), which no
// other reader may take; not a line of its form; or a line that starts like
// a record of its form and then goes wrong.
enum class LineKind { other, record, ignored, malformed };

// Across lines: a reader whose records depend on an earlier line (kcpuid's
// "0x00000007: subleafs:", then "  0: EAX=...") keeps that here.
struct LineState {
    bool in_sub_leaves = false;
    uint32_t sub_leaves_leaf = 0;
};

bool is_hex(char c);
bool is_blank(char c);
bool is_decimal(char c);

// One line being read, without its line end, and the next character.
struct Cursor {
    const char *position;
    const char *end;

    bool at_end() const { return position == end; }
    char peek() const { return at_end() ? '\0' : *position; }
    void skip_blanks()
    {
        while (!at_end() && is_blank(*position))
            ++position;
    }
    bool starts_with(const char *prefix) const;
    // Moves past `prefix` when the line goes on with it.
    bool skip(const char *prefix);
    // The length of the run of hex digits at the cursor.
    size_t hex_run() const;
};

extern const char *const register_names[4]; // "eax value" to "edx value"

// Reads one hexadecimal number: the whole run of letters and digits at the
// cursor. On a fault, says in `problem` what is wrong with it.
bool read_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem);

// "0x" and exactly 8 hex digits at the cursor, read as the leaf number.
bool read_0x_leaf(Cursor &cursor, uint32_t &leaf);

// The four values of a record, separated by blanks, each with `prefix`
// ("" or "0x") before its digits.
LineKind read_blank_separated(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, const char *prefix = "");

// Nothing but blanks may follow the last value.
LineKind expect_line_end(Cursor cursor, std::string &problem);

// A well-formed record of a sub-leaf other than 0 holds nothing the report
// reads (ignored): the leaf's record is that of sub-leaf 0.
LineKind sub_leaf_0_only(LineKind kind, uint32_t sub_leaf);

#endif
