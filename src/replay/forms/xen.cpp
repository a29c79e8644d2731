// Xen's xen-cpuid -p: one or more policies, each a processor as someone sees
// it, labelled by its name in lower case:
//   Raw policy: 48 leaves, 2 MSRs
//    CPUID:
//     leaf     subleaf  -> eax      ebx      ecx      edx
//     00000000:ffffffff -> 00000023:756e6547:6c65746e:49656e69
//     00000004:00000001 -> fc004122:03c0003f:0000003f:00000000
//    MSRs:
//     index    -> value
//     000000ce -> 0000000080000000
// then "Host", "PV Max", "HVM Max", "PV Default", "HVM Default" or
// "Domain N". Sub-leaf ffffffff is none, read as 0. "PV Max policy not
// supported by Xen" and the MSR rows hold no record.
#include "forms.h"

namespace {

constexpr const char *policy_names[] = {"Raw", "Host", "PV Max", "HVM Max", "PV Default", "HVM Default", "Domain "};

// A policy's name, "Domain" with its number, then " policy".
bool read_policy_name(Cursor &cursor, std::string &label)
{
    for (const char *name : policy_names) {
        Cursor at = cursor;
        if (!at.skip(name))
            continue;
        label = name;
        if (label.back() == ' ') { // "Domain 3"
            const char *digits = at.position;
            while (is_decimal(at.peek()) && at.position - digits < 9)
                ++at.position;
            if (at.position == digits)
                return false;
            label.append(digits, at.position);
        }
        if (!at.skip(" policy"))
            return false;
        for (char &c : label)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        cursor = at;
        return true;
    }
    return false;
}

} // namespace

LineKind read_xen_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &state)
{
    cursor.skip_blanks();
    record.stream = RecordStream::named;
    // A row: "LLLLLLLL:SSSSSSSS -> ".
    if (cursor.at(8) == ':' && cursor.at(17) == ' ' && cursor.at(18) == '-' && cursor.at(19) == '>' &&
        cursor.at(20) == ' ') {
        record.label = state.policy;
        record.leaf_0_splits = false; // one processor, whatever it repeats
        uint32_t values[6];
        if (read_layout(cursor, "h:h -> h:h:h:h", values)) {
            record.leaf = {values[0], values[2], values[3], values[4], values[5]};
            record.sub_leaf = values[1] == 0xffffffffu ? 0 : values[1];
            cursor.position = cursor.end;
            return LineKind::record;
        }
        if (!read_hex(cursor, "leaf number", record.leaf.leaf, problem))
            return LineKind::malformed;
        ++cursor.position;
        if (!read_hex(cursor, "sub-leaf", record.sub_leaf, problem))
            return LineKind::malformed;
        if (record.sub_leaf == 0xffffffffu)
            record.sub_leaf = 0; // the leaf has no sub-leaves
        cursor.position += 4;
        return read_separated_values(cursor, record.leaf, problem, ':');
    }
    std::string label;
    const char first = cursor.peek();
    if ((first != 'R' && first != 'H' && first != 'P' && first != 'D') || !read_policy_name(cursor, label))
        return LineKind::other;
    if (cursor.skip(" not supported"))
        return LineKind::ignored;
    if (!cursor.skip(":"))
        return LineKind::other;
    state.policy = label;
    record.label = state.policy;
    return LineKind::heading;
}
