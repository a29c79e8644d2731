// The line forms of the dumps that x86ident-replay reads: one reader each,
// and the one table of them that the reading loop, the refusal message,
// --help and the lists of the forms in the documents are made from. Each
// reader says "record" (with `record` filled and the cursor after its last
// value), "ignored" (its own line, but no record), "other" (not a line of
// its form) or "malformed" (it starts like one of its records and then goes
// wrong, with `problem` saying how).
#ifndef X86IDENT_FORMS_H
#define X86IDENT_FORMS_H

#include <iterator>

#include "dump_line.h"

typedef LineKind (*LineReader)(Cursor &line, DumpRecord &record, std::string &problem, FormState &state);

// What a form's lines begin with, after blanks and quote marks: any of the
// characters `begins`, and, for a log, a head that `head` spells ('d' a
// decimal digit, 'M' a month's name, '?' any character, every other
// character itself; '|' between two). A line with a log's head is tried on
// the forms of that head; any other line on the forms that its first
// character may begin. A form whose `begins` is "" may read any line that
// ends in a value of 8 hex digits (blanks aside), its record standing after
// any text.
// A line that no form may read is passed over at its first character (or
// its last).
constexpr char hex_digits[] = "0123456789abcdefABCDEF";

struct DumpForm {
    const char *name;    // as every list of the forms names it
    const char *example; // a record of leaf 1 (00000633 00000000 00000000 0080fbff); <TAB> is a tab
    const char *note;    // for --help: a few words on where it comes from
    LineReader read_line;
    const char *begins;  // the characters its records begin with; nullptr: a log's head alone
    const char *head;    // a log's: the heads of its lines; nullptr for the others
    bool first_column;   // its records begin in a line's first column, with no blank before them
};

// The table, in the order in which the reading loop tries the forms that
// may read a line: made from forms.cmake, the one table of the forms.
#include "dump_forms.inc"
static_assert(std::size(dump_forms) <= 32, "a line's forms are a bit set of 32");

// Lines that begin like x86ident's own and are another form's: Intel SDE's
// (two words and "=>", sde.cpp), and a hardware monitor's row right under
// its table's heading or another row.
bool is_sde_line(Cursor cursor);
inline bool in_hwmonitor_table(const FormState &state)
{
    return state.table_line != 0 && state.table_line + 1 == state.line;
}

// Made from the table (forms.cpp): the forms that each first character may
// begin, whether it may begin a log's head, and the forms that read any line.
struct FirstCharacterForms {
    uint32_t of[256];
    bool head_may_begin[256];
    uint32_t any;          // the forms that may read any line
    uint32_t first_column; // the forms whose records begin in a line's first column
};
extern const FirstCharacterForms first_character_forms;

// A line whose first character may begin a log's head: the forms of the
// first head it begins with, or else those of its first character.
uint32_t forms_for_head_line(const char *at, const char *end);

// The forms that may read a line by its first characters (bit i:
// dump_forms[i]), as `begins` and `head` say; 0 for a line that no such
// form reads, most lines of a report, which this tells at their first
// character.
// (`indented`: blanks stood before `begin`.)
inline uint32_t forms_for_line_start(const char *begin, const char *end, bool indented = false)
{
    Cursor first{begin, end};
    skip_line_lead(first);
    if (first.at_end())
        return 0;
    const unsigned char c = static_cast<unsigned char>(first.peek());
    const uint32_t forms = first_character_forms.head_may_begin[c] ? forms_for_head_line(first.position, end)
                                                                   : first_character_forms.of[c];
    return first.position == begin && !indented ? forms : forms & ~first_character_forms.first_column;
}

// Whether a line ends (blanks aside) in a value of 8 hex digits after a
// blank or "0x": the lines that the forms which read any line may read.
inline bool ends_in_value(const char *begin, const char *end)
{
    while (end != begin && is_blank(end[-1]))
        --end;
    if (end - begin < 9 || !is_hex(end[-1]) || !(is_blank(end[-9]) || end[-9] == 'x'))
        return false;
    for (const char *c = end - 8; c != end - 1; ++c)
        if (!is_hex(*c))
            return false;
    return true;
}

// A line as the reading loop reads it: tried on the forms that may read it,
// in the table's order, until one says what it is (`form`, its index), each
// given the line from its first character after blanks. A line quoted in a
// mail reply ('>' before it, once or more) reads as the line itself. A record must end its line, and one of a sub-leaf other than
// 0 is ignored: the leaf's record is sub-leaf 0's. Where a form finds a
// further record on the line, it says where in `state.again`, and
// read_form_line reads it.
LineKind read_dump_line(const char *begin, const char *end, DumpRecord &record, std::string &problem,
                        FormState &state, size_t &form);
LineKind read_form_line(size_t form, const char *begin, const char *end, DumpRecord &record, std::string &problem,
                        FormState &state);

#endif
