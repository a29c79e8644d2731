// x86info -r: "eax in: 0x00000000, eax = 0000000d ebx = 756e6547 ecx = 6c65746e
// edx = 49656e69", in "CPU #1", "CPU #2", ... blocks when the processors
// differ, and one dump for them all when they are identical.
#include "forms.h"

LineKind read_x86info_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    if (!cursor.skip("eax in:"))
        return LineKind::other;
    cursor.skip_blanks();
    if (!read_0x_hex(cursor, "leaf number", record.leaf.leaf, problem))
        return LineKind::malformed;
    if (!cursor.skip(",")) {
        problem = "expected ',' after the leaf number";
        return LineKind::malformed;
    }
    uint32_t *const values[4] = {&record.leaf.eax, &record.leaf.ebx, &record.leaf.ecx, &record.leaf.edx};
    const char *const names[4] = {"eax", "ebx", "ecx", "edx"};
    for (int i = 0; i < 4; ++i) {
        cursor.skip_blanks();
        const bool named = cursor.skip(names[i]);
        cursor.skip_blanks();
        if (!named || !cursor.skip("=")) {
            problem = std::string("expected ") + names[i] + " = before the " + register_names[i];
            return LineKind::malformed;
        }
        cursor.skip_blanks();
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
    }
    return LineKind::record;
}
