// The CPUID section of the reports that Open Hardware Monitor, Libre
// Hardware Monitor and the programs built on its library save: under a
// "Processor P" line per package, per logical processor " CPU Group: G"
// (from 2020 on), " CPU Thread: T" and a table,
//    Function  EAX       EBX       ECX       EDX
//    00000000  00000016  756E6547  6C65746E  49656E69
// whose rows stand right under its heading, up to the first line that is no
// row. The heading begins the table's processor, labelled by the package,
// group and thread; a row anywhere else (the MSR tables' rows, which have
// three values) is no record. The oldest versions wrote one table alone.
#include "forms.h"

namespace {

// "Processor 0", " CPU Group: 0", " CPU Thread: 3": the number after `name`
// and nothing else.
bool read_numbered_line(Cursor cursor, const char *name, std::string &number)
{
    if (!cursor.skip(name))
        return false;
    cursor.skip_blanks();
    const char *digits = cursor.position;
    while (is_decimal(cursor.peek()))
        ++cursor.position;
    const char *digits_end = cursor.position;
    cursor.skip_blanks();
    if (digits == digits_end || !cursor.at_end() || digits_end - digits > 9)
        return false;
    number.assign(digits, digits_end);
    return true;
}

// "Function  EAX       EBX       ECX       EDX".
bool is_table_heading(Cursor cursor)
{
    if (!cursor.skip("Function") || !is_blank(cursor.peek()))
        return false;
    for (const char *name : {"EAX", "EBX", "ECX", "EDX"}) {
        cursor.skip_blanks();
        if (!cursor.skip(name))
            return false;
    }
    cursor.skip_blanks();
    return cursor.at_end();
}

void add_label_part(std::string &label, const char *name, const std::string &number)
{
    if (number.empty())
        return;
    if (!label.empty())
        label += ", ";
    label += name;
    label += number;
}

} // namespace

LineKind read_hwmonitor_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    cursor.skip_blanks();
    record.stream = RecordStream::named;
    if (cursor.peek() == 'F' && is_table_heading(cursor)) {
        state.table_label.clear();
        add_label_part(state.table_label, "package ", state.package);
        add_label_part(state.table_label, "group ", state.group);
        add_label_part(state.table_label, "thread ", state.thread);
        state.table_line = state.line;
        record.label = state.table_label;
        return LineKind::heading;
    }
    // A row: a word of 8 letters and digits (the leaf) and a blank, right
    // under the heading or another row ("Function" is such a word too: the
    // heading is tried first).
    if (in_hwmonitor_table(state)) {
        uint32_t values[5];
        const bool usual = read_layout(cursor, "h  h  h  h  h", values);
        if (usual || (is_blank(cursor.at(8)) && cursor.word_run() == 8)) {
            state.table_line = state.line;
            record.label = state.table_label;
            record.leaf_0_splits = false; // one processor, whatever it repeats
            if (usual) {
                record.leaf = {values[0], values[1], values[2], values[3], values[4]};
                cursor.position = cursor.end;
                return LineKind::record;
            }
            if (!read_hex(cursor, "leaf number", record.leaf.leaf, problem))
                return LineKind::malformed;
            return read_blank_separated(cursor, record.leaf, problem);
        }
    }
    if (cursor.peek() != 'P' && cursor.peek() != 'C')
        return LineKind::other;
    if (read_numbered_line(cursor, "Processor ", state.package)) {
        state.group.clear();
        state.thread.clear();
        return LineKind::ignored;
    }
    if (read_numbered_line(cursor, "CPU Group:", state.group) || read_numbered_line(cursor, "CPU Thread:", state.thread))
        return LineKind::ignored;
    return LineKind::other;
}
