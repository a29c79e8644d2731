// The dump of the other program named cpuid (not Debian's):
// "CPUID 00000000:00 = 0000000d 756e6547 6c65746e 49656e69 | ....Genu...",
// the leaf and its sub-leaf, then the four values and their bytes as text.
// It begins like an AIDA64 record and is told apart by the '=' after the
// sub-leaf.
#include "forms.h"

LineKind read_cpuid_equals_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem, LineState &)
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

    read_hex(cursor, "leaf number", leaf.leaf, problem); // 8 hex digits, checked above
    uint32_t sub_leaf_number;
    if (!read_hex(sub_leaf, "sub-leaf", sub_leaf_number, problem))
        return LineKind::malformed;
    LineKind kind = read_blank_separated(equals, leaf, problem);
    if (kind == LineKind::record) {
        equals.skip_blanks();
        if (!equals.at_end() && equals.peek() != '|') {
            problem = std::string("unexpected '") + equals.peek() + "' after the edx value";
            kind = LineKind::malformed;
        }
    }
    return sub_leaf_0_only(kind, sub_leaf_number);
}
