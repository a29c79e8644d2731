#include "dump_parser.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include <sys/stat.h>

namespace {

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
constexpr HexTable hex_table;

unsigned char hex_class(char c)
{
    return hex_table.of[static_cast<unsigned char>(c)];
}

bool is_hex(char c)
{
    return hex_class(c) < 16;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// One line being read, with the position of the next character.
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
};

// Reads one hexadecimal number: the whole run of letters and digits at the
// cursor. On a fault, says in `problem` what is wrong with it.
bool read_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem)
{
    const char *start = cursor.position;
    uint64_t number = 0;
    for (; !cursor.at_end(); ++cursor.position) {
        const unsigned digit = hex_class(*cursor.position);
        if (digit == ends_number)
            break;
        if (digit == not_hex_letter) {
            problem = std::string("non-hex digit '") + *cursor.position + "' in " + what;
            return false;
        }
        number = (number << 4) | digit;
        if (number > 0xffffffffu) {
            problem = std::string(what) + " wider than 32 bits";
            return false;
        }
    }
    if (cursor.position == start) {
        problem = std::string("missing ") + what;
        return false;
    }
    value = static_cast<uint32_t>(number);
    return true;
}

bool starts_with(const Cursor &cursor, const char *prefix)
{
    size_t length = std::strlen(prefix);
    return static_cast<size_t>(cursor.end - cursor.position) >= length &&
           std::memcmp(cursor.position, prefix, length) == 0;
}

enum class LineKind { other, record, malformed };

const char *const register_names[4] = {"eax value", "ebx value", "ecx value", "edx value"};

// The four values of a record, separated by blanks.
LineKind read_blank_separated(Cursor &cursor, RecordedLeaf &leaf, std::string &problem)
{
    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    for (int i = 0; i < 4; ++i) {
        cursor.skip_blanks();
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
        if (!cursor.at_end() && !is_blank(cursor.peek())) {
            problem = std::string("unexpected '") + cursor.peek() + "' after the " + register_names[i];
            return LineKind::malformed;
        }
    }
    return LineKind::record;
}

// Nothing but blanks may follow the last value.
LineKind expect_line_end(Cursor cursor, std::string &problem)
{
    cursor.skip_blanks();
    if (cursor.at_end())
        return LineKind::record;
    problem = std::string("unexpected '") + cursor.peek() + "' after the edx value";
    return LineKind::malformed;
}

// AIDA64: "CPUID LLLLLLLL: EAX-EBX-ECX-EDX", with a colon or blanks after the
// leaf (a blank before the colon too), the values separated by '-' or by
// blanks, anything after the fourth value ignored (a "[SL 01]" note). After
// "CPUID", a token of 8 hex digits or one that begins with a decimal digit
// is a leaf number; any other word begins a header line ("CPUID Revision :").
LineKind parse_aida64_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem)
{
    cursor.skip_blanks();
    if (!starts_with(cursor, "CPUID"))
        return LineKind::other;
    cursor.position += 5;
    if (!is_blank(cursor.peek()))
        return LineKind::other;
    cursor.skip_blanks();
    const char *token_end = cursor.position;
    bool all_hex = true;
    while (token_end != cursor.end && *token_end != ':' && !is_blank(*token_end)) {
        all_hex = all_hex && is_hex(*token_end);
        ++token_end;
    }
    const size_t token_length = static_cast<size_t>(token_end - cursor.position);
    if (token_length == 0) {
        if (token_end == cursor.end || *token_end != ':')
            return LineKind::other;
        problem = "missing leaf number";
        return LineKind::malformed;
    }
    const bool leaf_like = (token_length == 8 && all_hex) || (*cursor.position >= '0' && *cursor.position <= '9');
    if (!leaf_like)
        return LineKind::other;
    for (const char *c = cursor.position; c != token_end; ++c)
        if (!is_hex(*c)) {
            problem = std::string("non-hex digit '") + *c + "' in leaf number";
            return LineKind::malformed;
        }
    if (token_length != 8) {
        problem = "leaf number of " + std::to_string(token_length) + (token_length == 1 ? " digit" : " digits") +
                  ", not 8";
        return LineKind::malformed;
    }
    read_hex(cursor, "leaf number", leaf.leaf, problem); // 8 hex digits, checked above
    cursor.skip_blanks();
    if (cursor.peek() == ':')
        ++cursor.position;
    cursor.skip_blanks();

    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    if (!read_hex(cursor, register_names[0], *values[0], problem))
        return LineKind::malformed;
    const bool dashes = cursor.peek() == '-';
    for (int i = 1; i < 4; ++i) {
        if (dashes) {
            if (cursor.peek() != '-') {
                problem = std::string("expected '-' before the ") + register_names[i];
                return LineKind::malformed;
            }
            ++cursor.position;
        } else {
            if (!cursor.at_end() && !is_blank(cursor.peek())) {
                problem = std::string("unexpected '") + cursor.peek() + "' after the " + register_names[i - 1];
                return LineKind::malformed;
            }
            cursor.skip_blanks();
        }
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
    }
    return LineKind::record;
}

// Debian's cpuid -r: "0x00000001 0x00: eax=0x000006f3 ebx=... ecx=... edx=...",
// or the older "0x00000001: eax=..." without the sub-leaf. A line counts as
// a record once "0x" and 8 hex digits are followed by a colon or by " 0x".
LineKind parse_cpuid_r_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem)
{
    cursor.skip_blanks();
    if (!starts_with(cursor, "0x") || cursor.end - cursor.position < 11)
        return LineKind::other;
    for (int i = 2; i < 10; ++i)
        if (!is_hex(cursor.position[i]))
            return LineKind::other;
    Cursor after_leaf{cursor.position + 10, cursor.end};
    const bool old_form = after_leaf.peek() == ':';
    if (!old_form) {
        after_leaf.skip_blanks();
        if (after_leaf.position == cursor.position + 10 || !starts_with(after_leaf, "0x"))
            return LineKind::other;
    }
    cursor.position += 2;
    read_hex(cursor, "leaf number", leaf.leaf, problem); // 8 hex digits, checked above
    uint32_t sub_leaf = 0;
    if (!old_form) {
        cursor.skip_blanks();
        cursor.position += 2;
        if (!read_hex(cursor, "sub-leaf", sub_leaf, problem))
            return LineKind::malformed;
        if (cursor.peek() != ':') {
            problem = "expected ':' after the sub-leaf";
            return LineKind::malformed;
        }
    }
    ++cursor.position;

    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    const char *const prefixes[4] = {"eax=0x", "ebx=0x", "ecx=0x", "edx=0x"};
    for (int i = 0; i < 4; ++i) {
        cursor.skip_blanks();
        if (!starts_with(cursor, prefixes[i])) {
            problem = std::string("expected ") + prefixes[i] + " before the " + register_names[i];
            return LineKind::malformed;
        }
        cursor.position += 6;
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
    }
    const LineKind kind = expect_line_end(cursor, problem);
    // Other sub-leaves are well-formed records of nothing the report reads.
    return kind == LineKind::record && sub_leaf != 0 ? LineKind::other : kind;
}

// libcpuid's raw dump: "basic_cpuid[N]=EAX EBX ECX EDX" is leaf N (decimal),
// "ext_cpuid[N]=..." leaf 0x80000000+N; its other arrays are sub-leaves.
LineKind parse_libcpuid_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem)
{
    cursor.skip_blanks();
    uint32_t first_leaf;
    if (starts_with(cursor, "basic_cpuid[")) {
        first_leaf = 0;
        cursor.position += 12;
    } else if (starts_with(cursor, "ext_cpuid[")) {
        first_leaf = 0x80000000u;
        cursor.position += 10;
    } else {
        return LineKind::other;
    }
    uint64_t index = 0;
    const char *digits = cursor.position;
    while (!cursor.at_end() && cursor.peek() >= '0' && cursor.peek() <= '9') {
        index = index * 10 + static_cast<unsigned>(cursor.peek() - '0');
        if (first_leaf + index > 0xffffffffu) {
            problem = "leaf index out of range";
            return LineKind::malformed;
        }
        ++cursor.position;
    }
    if (cursor.position == digits) {
        problem = "missing leaf index";
        return LineKind::malformed;
    }
    if (!starts_with(cursor, "]=")) {
        problem = "expected ']=' after the leaf index";
        return LineKind::malformed;
    }
    cursor.position += 2;
    leaf.leaf = static_cast<uint32_t>(first_leaf + index);
    const LineKind kind = read_blank_separated(cursor, leaf, problem);
    return kind == LineKind::record ? expect_line_end(cursor, problem) : kind;
}

// x86ident's own dump line: five 8-digit hex numbers (leaf, eax, ebx, ecx,
// edx). A line counts as a record once it starts with 8 hex digits and a blank.
LineKind parse_own_dump_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem)
{
    if (cursor.end - cursor.position < 9)
        return LineKind::other;
    for (int i = 0; i < 8; ++i)
        if (!is_hex(cursor.position[i]))
            return LineKind::other;
    if (!is_blank(cursor.position[8]))
        return LineKind::other;

    if (!read_hex(cursor, "leaf number", leaf.leaf, problem))
        return LineKind::malformed;
    const LineKind kind = read_blank_separated(cursor, leaf, problem);
    if (kind != LineKind::record)
        return kind;
    cursor.skip_blanks();
    if (!cursor.at_end()) {
        problem = "more than five values on a dump line";
        return LineKind::malformed;
    }
    return LineKind::record;
}

// The line forms, tried in turn; each says "record", "not mine" or "malformed".
LineKind (*const line_readers[])(Cursor, RecordedLeaf &, std::string &) = {
    parse_own_dump_line, parse_aida64_line, parse_cpuid_r_line, parse_libcpuid_line};

std::string processors_text(size_t count)
{
    return std::to_string(count) + (count == 1 ? " processor" : " processors");
}

} // namespace

bool DumpReader::fail(size_t line, std::string message)
{
    error_ = DumpError{line, std::move(message)};
    return false;
}

bool DumpReader::add_line(const char *begin, const char *end)
{
    ++line_number_;
    if (end != begin && end[-1] == '\r')
        --end;
    RecordedLeaf leaf{};
    std::string problem;
    LineKind kind = LineKind::other;
    for (auto read_line : line_readers) {
        kind = read_line(Cursor{begin, end}, leaf, problem);
        if (kind != LineKind::other)
            break;
    }
    if (kind == LineKind::malformed)
        return fail(line_number_, "malformed CPUID record: " + problem);
    if (kind != LineKind::record)
        return true;

    if (leaf.leaf == 0) {
        if (seen_leaf_0_)
            ++processor_;
        seen_leaf_0_ = true;
    }
    any_record_ = true;
    if (summarise_) {
        if (summaries_.size() == processor_)
            summaries_.emplace_back();
        ProcessorSummary &summary = summaries_.back();
        for (int i = 0; i < 6; ++i)
            if (leaf.leaf == ProcessorSummary::leaves[i] && (summary.recorded & (1u << i)) == 0) {
                summary.records[i] = leaf;
                summary.recorded |= 1u << i;
            }
    }
    if (processor_ == cpu_) {
        if (leaf.leaf == 0x80000000u && extended_leaf_line_ == 0)
            extended_leaf_line_ = line_number_;
        leaves_.push_back(leaf);
    }
    return true;
}

bool DumpReader::add(const char *bytes, size_t size)
{
    size_ += size;
    if (size_ > max_dump_size)
        return fail(0, "larger than 64 MiB: not a CPUID dump");
    if (const void *nul = std::memchr(bytes, '\0', size)) {
        const char *at = static_cast<const char *>(nul);
        size_t line = line_number_ + 1 + static_cast<size_t>(std::count(bytes, at, '\n'));
        return fail(line, "NUL byte: not a text dump");
    }
    const char *const end = bytes + size;
    const char *start = bytes;
    while (const void *found = std::memchr(start, '\n', static_cast<size_t>(end - start))) {
        const char *newline = static_cast<const char *>(found);
        bool ok;
        if (partial_line_.empty()) {
            ok = add_line(start, newline);
        } else {
            partial_line_.append(start, newline);
            ok = add_line(partial_line_.data(), partial_line_.data() + partial_line_.size());
            partial_line_.clear();
        }
        if (!ok)
            return false;
        start = newline + 1;
    }
    partial_line_.append(start, end);
    return true;
}

bool DumpReader::finish()
{
    if (!partial_line_.empty()) {
        const std::string last_line = std::move(partial_line_);
        partial_line_.clear();
        if (!add_line(last_line.data(), last_line.data() + last_line.size()))
            return false;
    }
    if (!any_record_)
        return fail(0, size_ == 0 ? "empty file"
                                  : "no CPUID records: not a dump of x86ident, AIDA64, cpuid -r or libcpuid");
    if (cpu_ > processor_)
        return fail(0, "no processor " + std::to_string(cpu_) + ": the dump holds " +
                           processors_text(processor_ + 1));
    if (cpu_ == 0 && !seen_leaf_0_)
        return fail(0, "no record of leaf 0");
    for (const RecordedLeaf &leaf : leaves_)
        if (leaf.leaf == 0x80000000u) { // the first record of the leaf wins
            if (leaf.eax > max_replayed_extended_leaf) {
                char value[16];
                std::snprintf(value, sizeof value, "%08x", static_cast<unsigned>(leaf.eax));
                return fail(extended_leaf_line_, std::string("highest extended leaf ") + value +
                                                     " lies above 8000ffff: not a real processor");
            }
            break;
        }
    return true;
}

bool parse_dump(const std::string &text, size_t cpu, std::vector<RecordedLeaf> &leaves, DumpError &error)
{
    DumpReader reader(cpu);
    const bool ok = reader.add(text.data(), text.size()) && reader.finish();
    leaves = reader.leaves();
    error = reader.error();
    return ok;
}

bool read_dump_file(const std::string &path, DumpReader &reader, DumpError &error)
{
    const bool standard_input = path == "-";
    std::FILE *file = stdin;
    if (!standard_input) {
        struct stat status {};
        if (stat(path.c_str(), &status) != 0) {
            error = DumpError{0, std::strerror(errno)};
            return false;
        }
        if (S_ISDIR(status.st_mode)) {
            error = DumpError{0, "is a directory"};
            return false;
        }
        file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            error = DumpError{0, std::strerror(errno)};
            return false;
        }
    }

    // One pass in pieces: memory stays a piece and one processor's leaves,
    // whatever the size, and endless input ends at the size bound.
    static char piece[65536];
    bool added = true;
    size_t got;
    do {
        got = std::fread(piece, 1, sizeof piece, file);
        added = got == 0 || reader.add(piece, got);
    } while (added && got == sizeof piece);
    const bool read_failed = std::ferror(file) != 0;
    const int read_errno = errno;
    if (!standard_input)
        std::fclose(file);
    if (read_failed) {
        error = DumpError{0, std::string("read error: ") + std::strerror(read_errno)};
        return false;
    }
    if (!added || !reader.finish()) {
        error = reader.error();
        return false;
    }
    return true;
}
