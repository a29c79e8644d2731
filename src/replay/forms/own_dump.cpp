// x86ident's own dump line: five 8-digit hex numbers (leaf, eax, ebx, ecx,
// edx), "00000001 00000633 00000000 00000000 0080fbff". A line counts as a
// record once it starts with 8 hex digits and a blank, but for Intel SDE's
// lines, Xen's MSR rows ("000000ce -> 0000000080000000") and a hardware
// monitor's rows, which begin so too.
#include "forms.h"

LineKind read_own_dump_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    if (cursor.hex_run() != 8 || cursor.end - cursor.position < 9 || !is_blank(cursor.position[8]))
        return LineKind::other;
    Cursor after_leaf{cursor.position + 8, cursor.end};
    after_leaf.skip_blanks();
    if (after_leaf.starts_with("->") || in_hwmonitor_table(state) || is_sde_line(cursor))
        return LineKind::other;
    if (!read_hex(cursor, "leaf number", record.leaf.leaf, problem))
        return LineKind::malformed;
    const LineKind kind = read_blank_separated(cursor, record.leaf, problem);
    if (kind != LineKind::record)
        return kind;
    cursor.skip_blanks();
    if (!cursor.at_end()) {
        problem = "more than five values on a dump line";
        return LineKind::malformed;
    }
    return LineKind::record;
}
