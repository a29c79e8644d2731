// cpuinfo's cpuid-dump: AIDA64's lines (read as those) and, per logical
// processor N, the same with "cpuN: " before them,
// "cpu1: CPUID 00000001: 000B06D1-08800800-FFFAF38B-BFCBFBFF"; each N is
// one processor, labelled "cpuN" ("cpu07" is "cpu7").
#include "forms.h"

LineKind read_cpuinfo_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    cursor.skip_blanks();
    if (!cursor.skip("cpu") || !is_decimal(cursor.peek()))
        return LineKind::other;
    uint32_t number = 0;
    for (int digits = 0; is_decimal(cursor.peek()); ++digits) {
        if (digits == 9)
            return LineKind::other;
        number = number * 10 + static_cast<uint32_t>(*cursor.position++ - '0');
    }
    if (!cursor.skip(":"))
        return LineKind::other;
    const LineKind kind = read_aida64_line(cursor, record, problem, state);
    if (kind == LineKind::record) {
        state.line_label = "cpu" + std::to_string(number);
        record.stream = RecordStream::named;
        record.label = state.line_label;
        record.leaf_0_splits = false; // one processor, whatever it repeats
    }
    return kind;
}
