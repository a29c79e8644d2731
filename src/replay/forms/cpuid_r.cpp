// Debian's cpuid -r: "0x00000001 0x00: eax=0x000006f3 ebx=... ecx=... edx=...",
// or the older "0x00000001: eax=..." without the sub-leaf. Of the lines that
// begin with "0x" and 8 hex digits, it takes those that CPU-Z, cpufetch and
// kcpuid have left: a record once the leaf is followed by a colon or by " 0x".
#include "forms.h"

LineKind read_cpuid_r_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    if (!read_0x_leaf(cursor, record.leaf.leaf))
        return LineKind::other;
    if (!cursor.skip(":")) {
        if (!is_blank(cursor.peek()))
            return LineKind::other;
        cursor.skip_blanks();
        if (!cursor.skip("0x"))
            return LineKind::other;
        if (!read_hex(cursor, "sub-leaf", record.sub_leaf, problem))
            return LineKind::malformed;
        if (!cursor.skip(":")) {
            problem = "expected ':' after the sub-leaf";
            return LineKind::malformed;
        }
    }
    static const char *const prefixes[4] = {"eax=0x", "ebx=0x", "ecx=0x", "edx=0x"};
    return read_prefixed_values(cursor, record.leaf, problem, prefixes);
}
