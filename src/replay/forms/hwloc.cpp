// hwloc-gather-cpuid, one puN file per logical processor:
// "1 0 0 0 0 => 1c 68747541 444d4163 69746e65", the mask of the input
// registers (1 eax, 2 ebx, 4 ecx, 8 edx), the four inputs, "=>", the four
// outputs, in lower-case hex without leading zeros. The leaf is input eax,
// the sub-leaf input ecx where the mask holds 4; '#' lines are comments.
#include "forms.h"

LineKind read_hwloc_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    cursor.skip_blanks();
    uint32_t inputs[5]; // mask, eax, ebx, ecx, edx
    for (uint32_t &input : inputs) {
        const size_t digits = cursor.hex_run();
        if (digits == 0 || digits > 8 || cursor.end - cursor.position == static_cast<ptrdiff_t>(digits) ||
            !is_blank(cursor.position[digits]))
            return LineKind::other;
        read_hex(cursor, "input", input, problem); // up to 8 hex digits, checked above
        cursor.skip_blanks();
    }
    if (!cursor.skip("=>"))
        return LineKind::other;
    record.leaf.leaf = inputs[1];
    record.sub_leaf = (inputs[0] & 4) != 0 ? inputs[3] : 0;
    return read_blank_separated(cursor, record.leaf, problem);
}
