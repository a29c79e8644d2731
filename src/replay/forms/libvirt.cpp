// libvirt's CPU data (tests/cputestdata/x86_64-cpuid-*.xml, from its
// cpu-data.py): each <cpudata> a processor, its rows
//   <cpuid eax_in='0x00000004' ecx_in='0x01' eax='0x1c004122' ebx='0x01c0003f' ecx='0x0000003f' edx='0x00000000'/>
// with the attributes in any order and in either quote, a row without
// ecx_in being sub-leaf 0; several rows may share a line. <msr> rows are
// no records.
#include "forms.h"

namespace {

// A row's attributes: the leaf, the sub-leaf and the four values.
constexpr const char *attribute_names[] = {"eax_in", "ecx_in", "eax", "ebx", "ecx", "edx"};
constexpr const char *attribute_texts[] = {"leaf number", "sub-leaf", "eax value", "ebx value", "ecx value", "edx value"};

// The next element on the line after `at`, for the reading loop to read.
void note_next_element(const char *at, const char *end, FormState &state)
{
    const char *next = find_text(at, end, "<cpu", 4);
    if (next != nullptr)
        state.again = next;
}

} // namespace

LineKind read_libvirt_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    cursor.skip_blanks();
    if (cursor.skip("<cpudata") && (cursor.at_end() || is_blank(cursor.peek()) || cursor.peek() == '>')) {
        note_next_element(cursor.position, cursor.end, state);
        cursor.position = cursor.end;
        return LineKind::heading;
    }
    if (!cursor.skip("<cpuid") || !(is_blank(cursor.peek()) || cursor.peek() == '/' || cursor.peek() == '>'))
        return LineKind::other;

    // From here on, a row: name='0x...' up to "/>" or ">".
    uint32_t values[6] = {};
    bool given[6] = {};
    for (;;) {
        cursor.skip_blanks();
        if (cursor.skip("/>") || cursor.skip(">"))
            break;
        const char *name = cursor.position;
        while (!cursor.at_end() && (is_word_character(cursor.peek()) || cursor.peek() == '_'))
            ++cursor.position;
        const size_t name_length = static_cast<size_t>(cursor.position - name);
        cursor.skip_blanks();
        if (name_length == 0 || !cursor.skip("=")) {
            problem = cursor.at_end() ? "row cut short" : std::string("unexpected '") + cursor.peek() + "' in a row";
            return LineKind::malformed;
        }
        cursor.skip_blanks();
        const char quote = cursor.peek();
        if (quote != '\'' && quote != '"') {
            problem = "expected a quote mark before a value";
            return LineKind::malformed;
        }
        ++cursor.position;
        const char *value_end = static_cast<const char *>(
            std::memchr(cursor.position, quote, static_cast<size_t>(cursor.end - cursor.position)));
        if (value_end == nullptr) {
            problem = "row cut short";
            return LineKind::malformed;
        }
        for (size_t i = 0; i < std::size(attribute_names); ++i) {
            if (std::strlen(attribute_names[i]) != name_length || std::memcmp(name, attribute_names[i], name_length) != 0)
                continue;
            Cursor value{cursor.position, value_end};
            value.skip("0x");
            if (!read_hex(value, attribute_texts[i], values[i], problem))
                return LineKind::malformed;
            if (!value.at_end()) {
                problem = std::string("unexpected '") + value.peek() + "' after the " + attribute_texts[i];
                return LineKind::malformed;
            }
            given[i] = true;
        }
        cursor.position = value_end + 1; // other attributes are no matter
    }
    for (size_t i = 0; i < std::size(attribute_names); ++i)
        if (!given[i] && i != 1) {
            problem = std::string("no ") + attribute_names[i] + " in a row";
            return LineKind::malformed;
        }
    record.leaf = {values[0], values[2], values[3], values[4], values[5]};
    record.sub_leaf = values[1];
    record.leaf_0_splits = false; // a <cpudata> is one processor, whatever it repeats
    note_next_element(cursor.position, cursor.end, state);
    cursor.position = cursor.end;
    return LineKind::record;
}
