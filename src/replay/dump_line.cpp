#include "dump_line.h"

#include <cstring>

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

} // namespace

const char *const register_names[4] = {"eax value", "ebx value", "ecx value", "edx value"};

bool is_hex(char c)
{
    return hex_class(c) < 16;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool is_decimal(char c)
{
    return c >= '0' && c <= '9';
}

bool Cursor::starts_with(const char *prefix) const
{
    const size_t length = std::strlen(prefix);
    return static_cast<size_t>(end - position) >= length && std::memcmp(position, prefix, length) == 0;
}

bool Cursor::skip(const char *prefix)
{
    if (!starts_with(prefix))
        return false;
    position += std::strlen(prefix);
    return true;
}

size_t Cursor::hex_run() const
{
    const char *c = position;
    while (c != end && is_hex(*c))
        ++c;
    return static_cast<size_t>(c - position);
}

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

bool read_0x_leaf(Cursor &cursor, uint32_t &leaf)
{
    Cursor digits{cursor.position + 2, cursor.end};
    if (!cursor.starts_with("0x") || digits.hex_run() != 8)
        return false;
    std::string unused;
    cursor = digits;
    return read_hex(cursor, "leaf number", leaf, unused);
}

LineKind read_blank_separated(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, const char *prefix)
{
    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    for (int i = 0; i < 4; ++i) {
        cursor.skip_blanks();
        if (!cursor.skip(prefix)) {
            problem = std::string("expected ") + prefix + " before the " + register_names[i];
            return LineKind::malformed;
        }
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
        if (!cursor.at_end() && !is_blank(cursor.peek())) {
            problem = std::string("unexpected '") + cursor.peek() + "' after the " + register_names[i];
            return LineKind::malformed;
        }
    }
    return LineKind::record;
}

LineKind expect_line_end(Cursor cursor, std::string &problem)
{
    cursor.skip_blanks();
    if (cursor.at_end())
        return LineKind::record;
    problem = std::string("unexpected '") + cursor.peek() + "' after the edx value";
    return LineKind::malformed;
}

LineKind sub_leaf_0_only(LineKind kind, uint32_t sub_leaf)
{
    return kind == LineKind::record && sub_leaf != 0 ? LineKind::ignored : kind;
}
