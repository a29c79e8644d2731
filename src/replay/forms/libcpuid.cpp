// libcpuid's raw dump (cpuid_tool --save): "basic_cpuid[N]=EAX EBX ECX EDX"
// is leaf N (decimal), "ext_cpuid[N]=..." leaf 0x80000000+N; its other
// arrays hold sub-leaves and are not records.
#include "forms.h"

LineKind read_libcpuid_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    uint32_t first_leaf;
    if (cursor.skip("basic_cpuid["))
        first_leaf = 0;
    else if (cursor.skip("ext_cpuid["))
        first_leaf = 0x80000000u;
    else
        return LineKind::other;
    uint64_t index = 0;
    const char *digits = cursor.position;
    for (; is_decimal(cursor.peek()); ++cursor.position) {
        index = index * 10 + static_cast<unsigned>(cursor.peek() - '0');
        if (first_leaf + index > 0xffffffffu) {
            problem = "leaf index out of range";
            return LineKind::malformed;
        }
    }
    if (cursor.position == digits) {
        problem = "missing leaf index";
        return LineKind::malformed;
    }
    if (!cursor.skip("]=")) {
        problem = "expected ']=' after the leaf index";
        return LineKind::malformed;
    }
    record.leaf.leaf = static_cast<uint32_t>(first_leaf + index);
    return read_blank_separated(cursor, record.leaf, problem);
}
