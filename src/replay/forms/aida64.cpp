// AIDA64 (the InstLatx64 collection): "CPUID LLLLLLLL: EAX-EBX-ECX-EDX",
// with a colon or blanks after the leaf (a blank before the colon too), the
// values separated by '-' or by blanks, then perhaps the sub-leaf's note,
// "[SL 0B]" in hexadecimal: a row of a sub-leaf other than 0 is no record,
// wherever it stands (a sorted or pasted dump); a row without the note is
// sub-leaf 0, and anything else after the fourth value is ignored. After
// "CPUID", a token of 8 hex digits, or one that begins with a decimal digit
// and holds no '.', is a leaf number; any other word begins a header line
// ("CPUID Revision :"), and CPU-Z's summary "CPUID  6.F.6" is no record
// either; nor is "CPUID LLLLLLLL:SS = ...".
#include "forms.h"

LineKind read_aida64_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    if (!cursor.skip("CPUID") || !is_blank(cursor.peek()))
        return LineKind::other;
    cursor.skip_blanks();
    const char *token_end = cursor.position;
    bool all_hex = true, has_dot = false;
    while (token_end != cursor.end && *token_end != ':' && !is_blank(*token_end)) {
        all_hex = all_hex && is_hex(*token_end);
        has_dot = has_dot || *token_end == '.';
        ++token_end;
    }
    const size_t token_length = static_cast<size_t>(token_end - cursor.position);
    if (token_length == 0) {
        if (token_end == cursor.end || *token_end != ':')
            return LineKind::other;
        problem = "missing leaf number";
        return LineKind::malformed;
    }
    const bool leaf_like = (token_length == 8 && all_hex) || (is_decimal(*cursor.position) && !has_dot);
    if (!leaf_like)
        return LineKind::other;
    for (const char *c = cursor.position; c != token_end; ++c)
        if (!is_hex(*c)) {
            problem = std::string("non-hex digit '") + *c + "' in leaf number";
            return LineKind::malformed;
        }
    if (token_length != 8) {
        problem = "leaf number of " + std::to_string(token_length) + (token_length == 1 ? " digit" : " digits") +
                  ", not 8";
        return LineKind::malformed;
    }
    read_hex(cursor, "leaf number", record.leaf.leaf, problem); // 8 hex digits, checked above
    cursor.skip_blanks();
    cursor.skip(":");
    cursor.skip_blanks();

    uint32_t *const values[4] = {&record.leaf.eax, &record.leaf.ebx, &record.leaf.ecx, &record.leaf.edx};
    if (!read_hex(cursor, register_names[0], *values[0], problem))
        return LineKind::malformed;
    Cursor after_first = cursor;
    after_first.skip_blanks();
    if (after_first.peek() == '=')
        return LineKind::other; // "CPUID LLLLLLLL:SS = ...", the other cpuid's
    const bool dashes = cursor.peek() == '-';
    for (int i = 1; i < 4; ++i) {
        if (dashes) {
            if (!cursor.skip("-")) {
                problem = std::string("expected '-' before the ") + register_names[i];
                return LineKind::malformed;
            }
        } else {
            if (!cursor.at_end() && !is_blank(cursor.peek())) {
                problem = std::string("unexpected '") + cursor.peek() + "' after the " + register_names[i - 1];
                return LineKind::malformed;
            }
            cursor.skip_blanks();
        }
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
    }
    Cursor note = cursor;
    note.skip_blanks();
    const size_t digits = note.skip("[SL ") ? note.hex_run() : 0;
    if (digits > 0 && digits <= 8 && Cursor{note.position + digits, note.end}.starts_with("]"))
        for (size_t i = 0; i < digits; ++i)
            record.sub_leaf = record.sub_leaf << 4 | hex_class(note.position[i]);
    cursor.position = cursor.end; // the rest of the line is no matter
    return LineKind::record;
}
