// The dump of the other program named cpuid (not Debian's):
// "CPUID 00000000:00 = 0000000d 756e6547 6c65746e 49656e69 | ....Genu...",
// the leaf and its sub-leaf, then the four values and their bytes as text.
// It begins like an AIDA64 record and is told apart by the '=' after the
// sub-leaf.
#include "forms.h"

LineKind read_cpuid_equals_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    if (!cursor.skip("CPUID") || !is_blank(cursor.peek()))
        return LineKind::other;
    cursor.skip_blanks();
    if (cursor.hex_run() != 8)
        return LineKind::other;
    Cursor sub_leaf{cursor.position + 8, cursor.end};
    if (!sub_leaf.skip(":") || sub_leaf.hex_run() == 0)
        return LineKind::other;
    Cursor equals{sub_leaf.position + sub_leaf.hex_run(), cursor.end};
    equals.skip_blanks();
    if (!equals.skip("="))
        return LineKind::other;

    read_hex(cursor, "leaf number", record.leaf.leaf, problem); // 8 hex digits, checked above
    if (!read_hex(sub_leaf, "sub-leaf", record.sub_leaf, problem))
        return LineKind::malformed;
    cursor = equals;
    const LineKind kind = read_blank_separated(cursor, record.leaf, problem);
    Cursor text = cursor;
    text.skip_blanks();
    if (kind == LineKind::record && text.peek() == '|')
        cursor.position = cursor.end; // the values' bytes as text
    return kind;
}
