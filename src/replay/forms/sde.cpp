// Intel SDE's CPUID definitions (-cpuid_in), also written by hand in their
// form: "00000004 00000000 => FC004121 02C0003F 0000003F 00000000 #Deterministic
// Cache", the leaf, the sub-leaf ("********" for none, read as 0), "=>",
// the four values, perhaps a comment after '#'. A file is one processor: a
// repeated leaf 0 does not split it.
#include "forms.h"

namespace {

// The length of the run of letters, digits and '*' at the cursor, up to 9:
// a leaf or sub-leaf has 8 at most.
size_t token_run(Cursor cursor)
{
    const char *start = cursor.position;
    while (!cursor.at_end() && cursor.position - start < 9 && (is_word_character(cursor.peek()) || cursor.peek() == '*'))
        ++cursor.position;
    return static_cast<size_t>(cursor.position - start);
}

} // namespace

// Two words and "=>": what tells these lines from x86ident's own.
bool is_sde_line(Cursor cursor)
{
    cursor.skip_blanks();
    for (int word = 0; word < 2; ++word) {
        const size_t length = token_run(cursor);
        if (length == 0 || length > 8 || !is_blank(cursor.at(length)))
            return false;
        cursor.position += length;
        cursor.skip_blanks();
    }
    return cursor.starts_with("=>");
}

LineKind read_sde_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    if (!is_sde_line(cursor))
        return LineKind::other;
    cursor.skip_blanks();
    record.leaf_0_splits = false;
    if (!read_hex(cursor, "leaf number", record.leaf.leaf, problem))
        return LineKind::malformed;
    cursor.skip_blanks();
    if (cursor.peek() == '*') {
        while (cursor.peek() == '*')
            ++cursor.position; // no sub-leaves: read as 0
    } else if (!read_hex(cursor, "sub-leaf", record.sub_leaf, problem)) {
        return LineKind::malformed;
    }
    if (!is_blank(cursor.peek())) {
        problem = std::string("unexpected '") + cursor.peek() + "' after the sub-leaf";
        return LineKind::malformed;
    }
    cursor.skip_blanks();
    cursor.skip("=>");
    const LineKind kind = read_blank_separated(cursor, record.leaf, problem);
    cursor.skip_blanks();
    if (kind == LineKind::record && cursor.peek() == '#')
        cursor.position = cursor.end; // a comment
    return kind;
}
