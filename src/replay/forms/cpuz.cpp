// CPU-Z's .txt reports. Since 1.52, in "Thread dumps", under a "CPUID" line:
// "\t0x00000000\t\t0x0000000D\t0x756E6547\t0x6C65746E\t0x49656E69", the leaf
// and its four values; 1.41 and 1.50 write the same lines without the tab,
// under "Function  eax  ebx  ecx  edx"; 1.31 writes
// "Function 00000000\t\t00000002\t756e6547\t6c65746e\t49656e69". A leaf's
// sub-leaves repeat the leaf, sub-leaf 0 first; pasted, the tabs are blanks.
// The MSR lines, the summary "CPUID  6.F.6" and the hex tables of SPD and
// PCI registers are not records.
#include "forms.h"

namespace {

// After "0xLLLLLLLL", four more "0x" numbers with no colon: whatever else
// begins with "0x" and 8 hex digits belongs to cpufetch, kcpuid or cpuid -r.
bool four_0x_numbers_follow(Cursor cursor)
{
    for (int i = 0; i < 4; ++i) {
        if (!is_blank(cursor.peek()))
            return false;
        cursor.skip_blanks();
        if (!cursor.skip("0x"))
            return false;
        cursor.position += cursor.hex_run();
        while (!cursor.at_end() && !is_blank(cursor.peek()) && cursor.peek() != ':')
            ++cursor.position; // a stray letter is the record's fault, found below
    }
    cursor.skip_blanks();
    return cursor.at_end();
}

} // namespace

LineKind read_cpuz_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    if (cursor.skip("Function")) {
        // 1.31; the later "Function  eax  ebx ..." is the header of a table.
        cursor.skip_blanks();
        if (cursor.hex_run() != 8)
            return LineKind::other;
        read_hex(cursor, "leaf number", record.leaf.leaf, problem); // 8 hex digits, checked above
        return read_blank_separated(cursor, record.leaf, problem);
    } else {
        if (!read_0x_leaf(cursor, record.leaf.leaf) || !is_blank(cursor.peek()))
            return LineKind::other;
        // Read as a record first: a line that goes wrong is CPU-Z's only when
        // it has the shape of CPU-Z's.
        const Cursor values = cursor;
        LineKind kind = read_blank_separated(cursor, record.leaf, problem, true);
        if (kind == LineKind::record)
            kind = expect_line_end(cursor, problem);
        if (kind != LineKind::record && !four_0x_numbers_follow(values))
            return LineKind::other;
        return kind;
    }
}
