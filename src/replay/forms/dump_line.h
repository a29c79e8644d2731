// What every reader of a dump line form shares: the line being read, with
// its position, and the reading of hexadecimal numbers.
#ifndef X86IDENT_DUMP_LINE_H
#define X86IDENT_DUMP_LINE_H

#include <stddef.h>
#include <stdint.h>

#include <cstring>
#include <string>
#include <string_view>

#include "recorded/cpuid_recorded.h"

// What a reader makes of one line: a record; a heading that begins a
// processor of the record's stream, records or none (a policy's or a
// table's); a line of its form that holds no record the report reads, which
// no other reader may take; not a line of its form; or a line that starts
// like a record of its form and then goes wrong.
enum class LineKind { other, record, heading, ignored, malformed };

// Whose processor a record is. Each stream's leaf-0 records begin its next
// processor; a hypervisor log interleaves several streams (guest and host),
// and VMware's guest and CPUID[N] lines may only amend the host's dump.
enum class RecordStream : unsigned char {
    dump,              // every other form: one processor after the other
    virtualbox_guest,  // Gst:
    virtualbox_host,   // Hst:
    vmware_host,       // hostCPUID
    vmware_processor,  // CPUID[N]: the host's logical processor N
    vmware_guest,      // guestCPUID, guest vs. host CPUID guest
    named,             // a stream that its form names by text: its label
};

// One record as a form reads it: the leaf and its four values, the sub-leaf
// (the reading loop keeps sub-leaf 0 alone) and whose it is.
struct DumpRecord {
    RecordedLeaf leaf{};
    uint32_t sub_leaf = 0;
    RecordStream stream = RecordStream::dump;
    uint32_t stream_number = 0; // CPUID[N]'s N
    std::string_view label;     // a named stream's: what --list says of its processors
    bool leaf_0_splits = true;  // false: a stream that repeats a processor's dump (at every reset)
};

// Across lines: a form whose records depend on an earlier line (kcpuid's
// "0x00000007: subleafs:", then "  0: EAX=..."; VirtualBox's Hst: row under
// a Gst: row; the policy or table that a row stands in) keeps that here.
// The reading loop sets `line`.
struct FormState {
    size_t line = 0;           // the number of the line being read
    bool in_sub_leaves = false;
    uint32_t sub_leaves_leaf = 0;
    size_t guest_row_line = 0; // VirtualBox: the last Gst: row, not yet paired with its Hst: row
    uint32_t guest_row_leaf = 0, guest_row_sub_leaf = 0;
    std::string policy;        // Xen: the label of the policy whose rows follow
    std::string line_label;    // the label that a line names itself (cpuinfo's "cpu7", Bochs' "CPU0")
    size_t table_line = 0;     // a hardware monitor: the line of its table's heading or last row
    std::string table_label;   // a hardware monitor: the label of that table
    std::string package, group, thread; // a hardware monitor: the numbers that label its next table
    const char *again = nullptr; // where the line being read holds a further record of its form
};

// What a byte is to a hexadecimal number: its digit value (0 to 15), a
// letter that is no hex digit, or the end of the number. One table look-up
// per byte keeps a multi-megabyte dump quick.
constexpr unsigned char not_hex_letter = 16;
constexpr unsigned char ends_number = 17;

struct HexTable {
    unsigned char of[256];
    constexpr HexTable() : of()
    {
        for (int c = 0; c < 256; ++c)
            of[c] = ends_number;
        for (int c = 'g'; c <= 'z'; ++c)
            of[c] = of[c - 'a' + 'A'] = not_hex_letter;
        for (int d = 0; d < 10; ++d)
            of['0' + d] = static_cast<unsigned char>(d);
        for (int d = 0; d < 6; ++d)
            of['a' + d] = of['A' + d] = static_cast<unsigned char>(10 + d);
    }
};
inline constexpr HexTable hex_table;

inline unsigned char hex_class(char c)
{
    return hex_table.of[static_cast<unsigned char>(c)];
}

inline bool is_hex(char c)
{
    return hex_class(c) < 16;
}

inline bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

inline bool is_decimal(char c)
{
    return c >= '0' && c <= '9';
}

// One line being read, without its line end, and the next character.
struct Cursor {
    const char *position;
    const char *end;

    bool at_end() const { return position == end; }
    char peek() const { return at_end() ? '\0' : *position; }
    void skip_blanks()
    {
        while (!at_end() && is_blank(*position))
            ++position;
    }
    // Prefixes are literals: their length is known where they are named,
    // which keeps the test of every line against every form quick.
    template <size_t size> bool starts_with(const char (&prefix)[size]) const
    {
        return static_cast<size_t>(end - position) >= size - 1 && std::memcmp(position, prefix, size - 1) == 0;
    }
    bool starts_with(const char *prefix) const
    {
        const size_t length = std::strlen(prefix);
        return static_cast<size_t>(end - position) >= length && std::memcmp(position, prefix, length) == 0;
    }
    // Moves past `prefix` when the line goes on with it.
    template <typename Prefix> bool skip(const Prefix &prefix)
    {
        if (!starts_with(prefix))
            return false;
        position += std::strlen(prefix);
        return true;
    }
    // The length of the run of hex digits at the cursor.
    size_t hex_run() const
    {
        const char *c = position;
        while (c != end && is_hex(*c))
            ++c;
        return static_cast<size_t>(c - position);
    }
    // The length of the run of letters and digits at the cursor: a number
    // that a form's layout places there, read whole so that a stray letter
    // in it is a fault of the record.
    size_t word_run() const
    {
        const char *c = position;
        while (c != end && hex_class(*c) != ends_number)
            ++c;
        return static_cast<size_t>(c - position);
    }
    // The character `offset` bytes on, or '\0' past the end.
    char at(size_t offset) const { return static_cast<size_t>(end - position) > offset ? position[offset] : '\0'; }
};

// Past the blanks, quote marks and a mail's '>' before a line's first word.
inline void skip_line_lead(Cursor &cursor)
{
    while (!cursor.at_end() && (is_blank(cursor.peek()) || cursor.peek() == '"' || cursor.peek() == '\'' ||
                                cursor.peek() == '>'))
        ++cursor.position;
}

// Where `text` (of `length` bytes) first stands in a line, or nullptr: the
// hypervisor logs' records follow a head of the log's own (time stamps,
// thread names, log levels) and are found by their keyword.
const char *find_text(const char *begin, const char *end, const char *text, size_t length);

// Letters and digits: what a keyword must not have before it to be a word.
inline bool is_word_character(char c)
{
    return hex_class(c) != ends_number;
}

extern const char *const register_names[4]; // "eax value" to "edx value"

// Reads one hexadecimal number: the whole run of letters and digits at the
// cursor. On a fault, says in `problem` what is wrong with it.
bool read_any_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem);

// 8 hex digits at `at`, as a number, all 8 bytes at once; false if any byte
// is no hex digit. (Each byte less than 0x80 is tested against its ranges
// by a carry into its top bit; a digit's value is its low nibble, plus 9
// for a letter, whose bit 6 is set.)
inline bool eight_hex_digits(const char *at, uint32_t &value)
{
    constexpr uint64_t ones = 0x0101010101010101u, tops = 0x8080808080808080u;
    uint64_t text;
    std::memcpy(&text, at, 8);
    if (text & tops)
        return false;
    const auto at_least = [](uint64_t bytes, unsigned bound) { return (bytes + (0x80 - bound) * ones) & tops; };
    const uint64_t lower = text | 0x2020202020202020u;
    const uint64_t digit = at_least(text, '0') & ~at_least(text, '9' + 1);
    const uint64_t letter = at_least(lower, 'a') & ~at_least(lower, 'f' + 1);
    if ((digit | letter) != tops)
        return false;
    uint64_t nibbles = (text & 0x0f0f0f0f0f0f0f0fu) + 9 * ((text >> 6) & ones);
    // The first character is the lowest byte and the highest digit.
    nibbles = ((nibbles << 4) | (nibbles >> 8)) & 0x00ff00ff00ff00ffu;
    nibbles = ((nibbles << 8) | (nibbles >> 16)) & 0x0000ffff0000ffffu;
    value = static_cast<uint32_t>((nibbles << 16) | (nibbles >> 32));
    return true;
}

// The same, first trying the width that nearly every dump writes, 8 digits
// and no more letters or digits, in one step: a dump's time goes here.
bool read_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem);

// A record in the layout that its form nearly always writes, read in one
// pass: in `layout`, 'h' is 8 hex digits (taken in order into `values`) and
// any other character itself; nothing but blanks may follow. False where the
// line differs in any way: the form then reads it step by step, which says
// what is wrong with it.
template <size_t size> inline bool read_layout(const Cursor &cursor, const char (&layout)[size], uint32_t *values)
{
    const char *at = cursor.position;
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC unroll 16
#endif
    for (const char *c = layout; c != layout + size - 1; ++c) {
        if (*c != 'h') {
            if (at == cursor.end || *at != *c)
                return false;
            ++at;
        } else if (cursor.end - at < 8 || !eight_hex_digits(at, *values++)) {
            return false;
        } else {
            at += 8;
        }
    }
    while (at != cursor.end && is_blank(*at))
        ++at;
    return at == cursor.end;
}

// "0x" and a hexadecimal number; on a fault, `problem` says what is wrong
// ("expected 0x before the leaf number").
bool read_0x_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem);

// "0x" and exactly 8 hex digits at the cursor, read as the leaf number.
bool read_0x_leaf(Cursor &cursor, uint32_t &leaf);

// The four values of a record, separated by blanks, each with "0x" before
// its digits when `with_0x` is set.
LineKind read_blank_separated(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, bool with_0x = false);

// The four values of a record, each after its own `prefixes[i]` ("eax=0x",
// "EAX=0x", ...), separated by blanks, or by a comma and blanks when
// `commas` is set.
LineKind read_prefixed_values(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, const char *const prefixes[4],
                              bool commas = false);

// The four values of a record, each after the one before and `separator`
// ("00000633:00000000:00000000:0080fbff").
LineKind read_separated_values(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, char separator);

// Nothing but blanks may follow the last value: the reading loop's check
// of every record, which a form may make first where its answer hangs on it.
LineKind expect_line_end(Cursor cursor, std::string &problem);

#endif
