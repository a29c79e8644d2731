// FreeBSD's cpucontrol -i: "cpuid level 0x1: 0x000306d4 0x00100800
// 0x4dfaebbf 0xbfebfbff" and, with a sub-leaf, "cpuid level 0x4, level_type
// 0x2: ...", the leaf and sub-leaf not padded. A record may stand after
// other text in its line (a comment's "# cpuid level 0x1: ..."). A file is
// one processor: a repeated leaf 0 does not split it.
#include "forms.h"

namespace {

// ": " and four values of "0x" and 8 digits: the length of a record's end,
// where it is looked for first.
constexpr size_t values_length = 45;

} // namespace

LineKind read_freebsd_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    Cursor lead = cursor;
    lead.skip_blanks();
    if (!lead.starts_with("cpuid level ")) {
        const char *end = cursor.end;
        while (end != cursor.position && is_blank(end[-1]))
            --end;
        if (static_cast<size_t>(end - cursor.position) < values_length ||
            std::memcmp(end - values_length, ": 0x", 4) != 0)
            return LineKind::other;
        const char *keyword = find_text(cursor.position, end - values_length, "cpuid level ", 12);
        if (keyword == nullptr)
            return LineKind::other;
        lead.position = keyword;
    }
    cursor = lead;
    cursor.skip("cpuid level ");
    record.leaf_0_splits = false;
    if (!read_0x_hex(cursor, "leaf number", record.leaf.leaf, problem))
        return LineKind::malformed;
    if (cursor.skip(", level_type ")) {
        if (!read_0x_hex(cursor, "sub-leaf", record.sub_leaf, problem))
            return LineKind::malformed;
    }
    if (!cursor.skip(":")) {
        problem = "expected ':' after the leaf number";
        return LineKind::malformed;
    }
    return read_blank_separated(cursor, record.leaf, problem, true);
}
