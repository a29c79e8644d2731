#include "dump_parser.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

bool is_hex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool is_alnum(char c)
{
    return is_hex(c) || (c >= 'g' && c <= 'z') || (c >= 'G' && c <= 'Z');
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

unsigned hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
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
// cursor. Returns an empty string, or what is wrong with it.
std::string read_hex(Cursor &cursor, const char *what, std::uint32_t &value)
{
    const char *start = cursor.position;
    while (!cursor.at_end() && is_alnum(*cursor.position))
        ++cursor.position;
    if (cursor.position == start)
        return std::string("missing ") + what;
    std::uint64_t number = 0;
    for (const char *c = start; c != cursor.position; ++c) {
        if (!is_hex(*c))
            return std::string("non-hex digit '") + *c + "' in " + what;
        number = (number << 4) | hex_value(*c);
        if (number > 0xffffffffu)
            return std::string(what) + " wider than 32 bits";
    }
    value = static_cast<std::uint32_t>(number);
    return std::string();
}

bool starts_with(const Cursor &cursor, const char *prefix)
{
    std::size_t length = std::strlen(prefix);
    return static_cast<std::size_t>(cursor.end - cursor.position) >= length &&
           std::memcmp(cursor.position, prefix, length) == 0;
}

enum class LineKind { other, record, malformed };

// "CPUID LLLLLLLL: EAX-EBX-ECX-EDX", a colon or blanks after the leaf,
// anything after the fourth value ignored. A line counts as a record once
// "CPUID" is followed by a leaf token that ends in a colon or is all hex.
LineKind parse_collection_line(Cursor cursor, RecordedLeaf &leaf, std::string &problem)
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
    const bool colon = token_end != cursor.end && *token_end == ':';
    if (!colon && (!all_hex || token_end == cursor.position))
        return LineKind::other;

    problem = read_hex(cursor, "leaf number", leaf.leaf);
    if (problem.empty() && cursor.position != token_end)
        problem = std::string("unexpected '") + cursor.peek() + "' in leaf number";
    if (!problem.empty())
        return LineKind::malformed;
    if (colon)
        ++cursor.position;
    cursor.skip_blanks();

    std::uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    const char *const names[4] = {"eax value", "ebx value", "ecx value", "edx value"};
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (cursor.peek() != '-') {
                problem = std::string("expected '-' before the ") + names[i];
                return LineKind::malformed;
            }
            ++cursor.position;
        }
        problem = read_hex(cursor, names[i], *values[i]);
        if (!problem.empty())
            return LineKind::malformed;
    }
    return LineKind::record;
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

    std::uint32_t *const values[5] = {&leaf.leaf, &leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    const char *const names[5] = {"leaf number", "eax value", "ebx value", "ecx value", "edx value"};
    for (int i = 0; i < 5; ++i) {
        cursor.skip_blanks();
        problem = read_hex(cursor, names[i], *values[i]);
        if (!problem.empty())
            return LineKind::malformed;
        if (!cursor.at_end() && !is_blank(cursor.peek())) {
            problem = std::string("unexpected '") + cursor.peek() + "' after the " + names[i];
            return LineKind::malformed;
        }
    }
    cursor.skip_blanks();
    if (!cursor.at_end()) {
        problem = "more than five values on a dump line";
        return LineKind::malformed;
    }
    return LineKind::record;
}

} // namespace

bool parse_dump(const std::string &text, std::vector<RecordedLeaf> &leaves, DumpError &error)
{
    leaves.clear();
    bool has_leaf_0 = false;
    std::size_t line_number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        ++line_number;
        std::size_t newline = text.find('\n', start);
        std::size_t stop = newline == std::string::npos ? text.size() : newline;
        const char *begin = text.data() + start;
        const char *end = text.data() + stop;
        start = stop + 1;
        if (std::memchr(begin, '\0', static_cast<std::size_t>(end - begin)) != nullptr) {
            error = DumpError{line_number, "NUL byte: not a text dump"};
            return false;
        }
        if (end != begin && end[-1] == '\r')
            --end;

        RecordedLeaf leaf{};
        std::string problem;
        LineKind kind = parse_collection_line(Cursor{begin, end}, leaf, problem);
        if (kind == LineKind::other)
            kind = parse_own_dump_line(Cursor{begin, end}, leaf, problem);
        if (kind == LineKind::malformed) {
            error = DumpError{line_number, "malformed CPUID record: " + problem};
            return false;
        }
        if (kind == LineKind::record) {
            leaves.push_back(leaf);
            has_leaf_0 = has_leaf_0 || leaf.leaf == 0;
        }
    }
    if (leaves.empty()) {
        error = DumpError{0, text.empty() ? "empty file" : "no CPUID records"};
        return false;
    }
    if (!has_leaf_0) {
        error = DumpError{0, "no record of leaf 0"};
        return false;
    }
    return true;
}

bool read_dump_file(const std::string &path, std::string &text, DumpError &error)
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

    // Read at most one byte past the bound, so a larger input (or an endless
    // one such as /dev/zero) is told apart without reading all of it.
    text.clear();
    char buffer[16384];
    bool ok = true;
    while (text.size() <= max_dump_size) {
        std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        text.append(buffer, got);
        if (got < sizeof buffer) {
            if (std::ferror(file)) {
                error = DumpError{0, std::string("read error: ") + std::strerror(errno)};
                ok = false;
            }
            break;
        }
    }
    if (ok && text.size() > max_dump_size) {
        error = DumpError{0, "larger than 1 MiB: not a CPUID dump"};
        ok = false;
    }
    if (!standard_input)
        std::fclose(file);
    return ok;
}
