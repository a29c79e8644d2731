// Linux's kcpuid -r: "0x00000000: EAX=0x0000000d, EBX=0x756e6547,
// ECX=0x6c65746e, EDX=0x49656e69"; a leaf with sub-leaves has a
// "0x00000007: subleafs:" line, then "  0: EAX=0x..., EBX=..., ..." per
// sub-leaf, whose leaf is that of the line before them.
#include "forms.h"

namespace {

// "EAX=0x..., EBX=0x..., ECX=0x..., EDX=0x...".
LineKind read_registers(Cursor &cursor, RecordedLeaf &leaf, std::string &problem)
{
    static const char *const prefixes[4] = {"EAX=0x", "EBX=0x", "ECX=0x", "EDX=0x"};
    return read_prefixed_values(cursor, leaf, problem, prefixes, true);
}

} // namespace

LineKind read_kcpuid_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    cursor.skip_blanks();
    if (!cursor.starts_with("0x") && is_decimal(cursor.peek())) { // "  0: EAX=..."
        uint32_t sub_leaf = 0;
        while (is_decimal(cursor.peek()) && sub_leaf < 100000)
            sub_leaf = sub_leaf * 10 + static_cast<uint32_t>(*cursor.position++ - '0');
        record.sub_leaf = sub_leaf;
        if (!cursor.skip(":"))
            return LineKind::other;
        cursor.skip_blanks();
        if (!cursor.starts_with("EAX="))
            return LineKind::other;
        if (!state.in_sub_leaves) {
            problem = "a sub-leaf with no \"subleafs:\" line before it";
            return LineKind::malformed;
        }
        record.leaf.leaf = state.sub_leaves_leaf;
        return read_registers(cursor, record.leaf, problem);
    }
    if (!read_0x_leaf(cursor, record.leaf.leaf) || !cursor.skip(":"))
        return LineKind::other;
    cursor.skip_blanks();
    if (cursor.skip("subleafs:")) {
        state.in_sub_leaves = true;
        state.sub_leaves_leaf = record.leaf.leaf;
        return LineKind::ignored;
    }
    if (!cursor.starts_with("EAX="))
        return LineKind::other; // cpuid -r's older form, "eax=0x..."
    state.in_sub_leaves = false;
    return read_registers(cursor, record.leaf, problem);
}
