#include "dump_line.h"

#include <cstring>

// memchr finds the first byte quickly; memmem is no C function (mingw's
// run time has none).
const char *find_text(const char *begin, const char *end, const char *text, size_t length)
{
    for (const char *at = begin; end - at >= static_cast<ptrdiff_t>(length); ++at) {
        at = static_cast<const char *>(std::memchr(at, text[0], static_cast<size_t>(end - at) - length + 1));
        if (at == nullptr)
            return nullptr;
        if (std::memcmp(at + 1, text + 1, length - 1) == 0)
            return at;
    }
    return nullptr;
}

bool read_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem)
{
    const char *at = cursor.position;
    const size_t left = static_cast<size_t>(cursor.end - at);
    if (left >= 8 && (left == 8 || hex_class(at[8]) == ends_number) && eight_hex_digits(at, value)) {
        cursor.position = at + 8;
        return true;
    }
    return read_any_hex(cursor, what, value, problem);
}

bool read_0x_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem)
{
    if (!cursor.skip("0x")) {
        problem = std::string("expected 0x before the ") + what;
        return false;
    }
    return read_hex(cursor, what, value, problem);
}

const char *const register_names[4] = {"eax value", "ebx value", "ecx value", "edx value"};

bool read_any_hex(Cursor &cursor, const char *what, uint32_t &value, std::string &problem)
{
    const char *at = cursor.position;
    while (at != cursor.end && *at == '0')
        ++at; // leading zeros do not count against the width
    uint32_t number = 0;
    int digits = 0;
    unsigned digit = ends_number;
    for (; at != cursor.end && (digit = hex_class(*at)) < 16; ++at) {
        if (++digits > 8) {
            problem = std::string(what) + " wider than 32 bits";
            return false;
        }
        number = (number << 4) | digit;
    }
    const bool empty = at == cursor.position;
    cursor.position = at;
    if (at != cursor.end && digit == not_hex_letter) {
        problem = std::string("non-hex digit '") + *at + "' in " + what;
        return false;
    }
    if (empty) {
        problem = std::string("missing ") + what;
        return false;
    }
    value = number;
    return true;
}

bool read_0x_leaf(Cursor &cursor, uint32_t &leaf)
{
    if (cursor.end - cursor.position < 10 || cursor.position[0] != '0' || cursor.position[1] != 'x')
        return false;
    uint32_t number = 0;
    for (int i = 2; i < 10; ++i) {
        const unsigned digit = hex_class(cursor.position[i]);
        if (digit >= 16)
            return false;
        number = (number << 4) | digit;
    }
    if (cursor.end - cursor.position > 10 && is_hex(cursor.position[10]))
        return false;
    cursor.position += 10;
    leaf = number;
    return true;
}

LineKind read_blank_separated(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, bool with_0x)
{
    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    for (int i = 0; i < 4; ++i) {
        cursor.skip_blanks();
        if (!(with_0x ? read_0x_hex(cursor, register_names[i], *values[i], problem)
                      : read_hex(cursor, register_names[i], *values[i], problem)))
            return LineKind::malformed;
        if (!cursor.at_end() && !is_blank(cursor.peek())) {
            problem = std::string("unexpected '") + cursor.peek() + "' after the " + register_names[i];
            return LineKind::malformed;
        }
    }
    return LineKind::record;
}

LineKind read_prefixed_values(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, const char *const prefixes[4],
                              bool commas)
{
    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    for (int i = 0; i < 4; ++i) {
        cursor.skip_blanks();
        if (commas && i > 0 && !cursor.skip(",")) {
            problem = std::string("expected ',' before the ") + register_names[i];
            return LineKind::malformed;
        }
        cursor.skip_blanks();
        if (!cursor.skip(prefixes[i])) {
            problem = std::string("expected ") + prefixes[i] + " before the " + register_names[i];
            return LineKind::malformed;
        }
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
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

LineKind read_separated_values(Cursor &cursor, RecordedLeaf &leaf, std::string &problem, char separator)
{
    uint32_t *const values[4] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && cursor.peek() != separator) {
            problem = std::string("expected '") + separator + "' before the " + register_names[i];
            return LineKind::malformed;
        }
        if (i > 0)
            ++cursor.position;
        if (!read_hex(cursor, register_names[i], *values[i], problem))
            return LineKind::malformed;
    }
    return LineKind::record;
}
