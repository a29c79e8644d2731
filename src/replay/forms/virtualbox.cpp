// VirtualBox's VBox.log: the CPUID dump of guest and host, under "Raw
// Standard CPUID Leaves" and its like (5.0.6 on) or "RAW Standard CPUIDs"
// (1.x to 5.0), after each line's time stamp:
//   00:00:04.809418 Gst: 00000004/0001  04000122 01c0003f 0000003f 00000000
//   00:00:04.809426 Hst:                1c004122 01c0003f 0000003f 00000000
//   00:00:00.088 Gst: 80000009  00000003 00000240 00000240 00000000*
// The row follows the time stamp. A Gst: row is the guest's leaf (with its sub-leaf in the newer form; a
// leaf beyond the guest's highest ends in '*'). A Hst: row is the host's:
// with a leaf of its own (one the guest's list skipped), or four values alone,
// the host's answer to the leaf of the Gst: row directly above it.
#include "forms.h"

namespace {

// The "Gst:" or "Hst:" after the line's head, its time stamp.
const char *row_keyword(Cursor line)
{
    skip_line_lead(line);
    const void *blank = std::memchr(line.position, ' ', static_cast<size_t>(line.end - line.position));
    if (blank == nullptr)
        return nullptr;
    line.position = static_cast<const char *>(blank);
    line.skip_blanks();
    return line.starts_with("Gst:") || line.starts_with("Hst:") ? line.position : nullptr;
}

// The blank-separated numbers of the row, up to one past the most a row has.
int count_numbers(Cursor row)
{
    int count = 0;
    while (!row.at_end() && count < 6) {
        ++count;
        while (!row.at_end() && !is_blank(row.peek()))
            ++row.position;
        row.skip_blanks();
    }
    return count;
}

} // namespace

LineKind read_virtualbox_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    const char *keyword = row_keyword(cursor);
    if (keyword == nullptr)
        return LineKind::other;
    const bool guest = keyword[0] == 'G';
    Cursor &row = cursor;
    row.position = keyword + 4;
    if (!is_blank(row.peek()))
        return LineKind::other;
    row.skip_blanks();
    if (!is_hex(row.peek()))
        return LineKind::other; // "Gst: ..." that holds no number: no row of the dump
    while (is_blank(row.end[-1]))
        --row.end;
    if (guest && row.end[-1] == '*')
        --row.end; // a leaf beyond the guest's highest: still its answer

    // A row with a leaf: "LLLLLLLL/SSSS" or "LLLLLLLL", then the four values.
    Cursor first = row;
    first.position += first.hex_run();
    const bool with_leaf = guest || first.peek() == '/' || count_numbers(row) > 4;
    if (with_leaf) {
        if (!read_hex(row, "leaf number", record.leaf.leaf, problem))
            return LineKind::malformed;
        if (row.skip("/") && !read_hex(row, "sub-leaf", record.sub_leaf, problem))
            return LineKind::malformed;
        if (!is_blank(row.peek())) {
            problem = row.at_end() ? "missing eax value" : std::string("unexpected '") + row.peek() + "' after the leaf number";
            return LineKind::malformed;
        }
    }
    LineKind kind = read_blank_separated(row, record.leaf, problem);
    if (kind == LineKind::record)
        kind = expect_line_end(row, problem); // first: an unpaired Hst: row below is no record
    if (kind == LineKind::malformed)
        return kind;

    record.stream = guest ? RecordStream::virtualbox_guest : RecordStream::virtualbox_host;
    if (guest) {
        state.guest_row_line = state.line;
        state.guest_row_leaf = record.leaf.leaf;
        state.guest_row_sub_leaf = record.sub_leaf;
    } else if (!with_leaf) {
        // The host's answer to the Gst: row directly above, once.
        if (state.guest_row_line == 0 || state.guest_row_line + 1 != state.line)
            return LineKind::ignored;
        record.leaf.leaf = state.guest_row_leaf;
        record.sub_leaf = state.guest_row_sub_leaf;
        state.guest_row_line = 0;
    }
    return kind;
}
