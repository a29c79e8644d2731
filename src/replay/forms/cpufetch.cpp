// cpufetch --raw: "  0x00000000 0x00: 0x0000000D 0x756E6547 0x6C65746E 0x49656E69"
// (leaf, sub-leaf, then eax to edx), under a "CPUID leaf sub EAX ..." header
// and a "CPU N:" line per processor.
#include "forms.h"

LineKind read_cpufetch_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem, LineState &)
{
    cursor.skip_blanks();
    if (!read_0x_leaf(cursor, leaf.leaf) || !is_blank(cursor.peek()))
        return LineKind::other;
    cursor.skip_blanks();
    if (!cursor.skip("0x"))
        return LineKind::other;
    Cursor after_sub_leaf{cursor.position + cursor.hex_run(), cursor.end};
    if (!after_sub_leaf.skip(":"))
        return LineKind::other;
    after_sub_leaf.skip_blanks();
    if (!after_sub_leaf.starts_with("0x"))
        return LineKind::other; // cpuid -r's "eax=0x..."

    uint32_t sub_leaf;
    if (!read_hex(cursor, "sub-leaf", sub_leaf, problem))
        return LineKind::malformed;
    cursor.skip(":");
    LineKind kind = read_blank_separated(cursor, leaf, problem, true);
    if (kind == LineKind::record)
        kind = expect_line_end(cursor, problem);
    return sub_leaf_0_only(kind, sub_leaf);
}
