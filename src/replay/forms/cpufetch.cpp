// cpufetch --raw: "  0x00000000 0x00: 0x0000000D 0x756E6547 0x6C65746E 0x49656E69"
// (leaf, sub-leaf, then eax to edx), under a "CPUID leaf sub EAX ..." header
// and a "CPU N:" line per processor.
#include "forms.h"

LineKind read_cpufetch_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    if (!read_0x_leaf(cursor, record.leaf.leaf) || !is_blank(cursor.peek()))
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

    if (!read_hex(cursor, "sub-leaf", record.sub_leaf, problem))
        return LineKind::malformed;
    cursor.skip(":");
    return read_blank_separated(cursor, record.leaf, problem, true);
}
