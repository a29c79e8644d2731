// Bochs' log (bochsout.txt): at every reset, each emulated processor's
// leaves, after a head whose padding differs between versions,
//   00000000000i[CPU0  ] CPUID[0x00000000]: 0000000d 756e6547 6c65746e 49656e69
// A record belongs to the processor of the nearest "[CPUn" tag before it in
// its line (n in hex, any padding; none: CPU0), labelled so, whatever stands
// before the time stamp; a reset repeats the same processor's dump.
#include "forms.h"

#include <cstdio>

namespace {

// "CPUID[0xLLLLLLLL]: " and four values of 8 digits: the length of a record
// from its keyword to the line's end, where it is looked for first.
constexpr size_t record_length = 54;

// The time stamp, the event's letter and a device tag: "00000000000i[".
bool has_time_stamp(Cursor cursor)
{
    const char *digits = cursor.position;
    while (is_decimal(cursor.peek()))
        ++cursor.position;
    return cursor.position - digits >= 11 && cursor.at(0) >= 'a' && cursor.at(0) <= 'z' && cursor.at(1) == '[';
}

// "[CPUn" and blanks up to ']' that ends at `end`'s left: its n, or false.
bool read_cpu_tag(const char *tag, const char *end, uint32_t &number)
{
    Cursor cursor{tag, end};
    if (!cursor.skip("[CPU") || cursor.hex_run() == 0 || cursor.hex_run() > 8)
        return false;
    const char *digits = cursor.position;
    cursor.position += cursor.hex_run();
    const char *digits_end = cursor.position;
    cursor.skip_blanks();
    if (!cursor.skip("]"))
        return false;
    number = 0;
    for (const char *c = digits; c != digits_end; ++c)
        number = number << 4 | hex_class(*c);
    return true;
}

} // namespace

LineKind read_bochs_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    const char *end = cursor.end;
    while (end != cursor.position && is_blank(end[-1]))
        --end;
    const char *keyword = nullptr;
    if (static_cast<size_t>(end - cursor.position) >= record_length &&
        std::memcmp(end - record_length, "CPUID[0x", 8) == 0) {
        keyword = end - record_length;
    } else {
        // A line of the log's own head: its tag and keyword where they stand,
        // so that a record cut short is found too.
        Cursor head = cursor;
        skip_line_lead(head);
        if (!has_time_stamp(head))
            return LineKind::other;
        const char *tag = static_cast<const char *>(std::memchr(head.position, '[', static_cast<size_t>(end - head.position)));
        Cursor after_tag{tag, end};
        if (!after_tag.skip("[CPU"))
            return LineKind::other;
        const char *close = static_cast<const char *>(std::memchr(tag, ']', static_cast<size_t>(end - tag)));
        if (close == nullptr || !Cursor{close, end}.starts_with("] CPUID["))
            return LineKind::other;
        keyword = close + 2;
    }
    // The nearest "[CPUn" tag before the keyword.
    uint32_t number = 0;
    for (const char *at = keyword; at != cursor.position; --at)
        if (at[-1] == '[' && read_cpu_tag(at - 1, keyword, number))
            break;
    state.line_label = "CPU";
    char digits[9];
    std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(number));
    state.line_label += digits;
    record.stream = RecordStream::named;
    record.label = state.line_label;
    record.leaf_0_splits = false;

    cursor.position = keyword + 6; // "CPUID["
    if (!read_0x_hex(cursor, "leaf number", record.leaf.leaf, problem))
        return LineKind::malformed;
    if (!cursor.skip("]:")) {
        problem = "expected ']:' after the leaf number";
        return LineKind::malformed;
    }
    return read_blank_separated(cursor, record.leaf, problem);
}
