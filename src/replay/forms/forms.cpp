#include "forms.h"

#include <utility>

namespace {

constexpr char month_names[][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Made once from the table: which forms each first character may begin,
// and the logs' heads: the bytes each must have where, its digits' places
// and its months' names' places.
struct FormsByFirstCharacter {
    struct Head {
        unsigned char byte[16] = {}, byte_mask[16] = {}, digit_mask[16] = {};
        unsigned char month_at[4] = {};
        unsigned char first_byte_at = 0, first_byte = 0; // one of its bytes, tried before the rest
        size_t months = 0;
        size_t width = 0; // of the text it matches: a month's name is 3
        uint32_t forms = 0;
    };
    uint32_t of[256] = {}; // forms whose `begins` holds the character
    uint32_t any = 0;      // forms whose `begins` is "": every line
    bool head_may_begin[256] = {};
    Head heads[8] = {};
    size_t head_count = 0;

    constexpr void add_head(const char *pattern, const char *pattern_end, uint32_t forms)
    {
        Head &head = heads[head_count++];
        head.forms = forms;
        for (const char *c = pattern; c != pattern_end; ++c) {
            if (*c == 'M') {
                head.month_at[head.months++] = static_cast<unsigned char>(head.width);
                head.width += 3;
                continue;
            }
            if (*c == '?') {
                // any character
            } else if (*c == 'd') {
                head.digit_mask[head.width] = 0xff;
            } else {
                head.byte[head.width] = static_cast<unsigned char>(*c);
                head.byte_mask[head.width] = 0xff;
                if (head.first_byte == 0) {
                    head.first_byte_at = static_cast<unsigned char>(head.width);
                    head.first_byte = static_cast<unsigned char>(*c);
                }
            }
            ++head.width;
        }
        const char *first = *pattern == 'd' ? "0123456789" : *pattern == 'M' ? "JFMASOND" : nullptr;
        if (first == nullptr)
            head_may_begin[static_cast<unsigned char>(*pattern)] = true;
        for (; first != nullptr && *first != '\0'; ++first)
            head_may_begin[static_cast<unsigned char>(*first)] = true;
    }

    constexpr FormsByFirstCharacter()
    {
        for (size_t i = 0; i < std::size(dump_forms); ++i) {
            const DumpForm &form = dump_forms[i];
            if (form.begins != nullptr && form.begins[0] == '\0')
                any |= 1u << i;
            for (const char *c = form.begins; c != nullptr && *c != '\0'; ++c)
                of[static_cast<unsigned char>(*c)] |= 1u << i;
            for (const char *c = form.head, *pattern = form.head; c != nullptr; ++c)
                if (*c == '|' || *c == '\0') {
                    add_head(pattern, c, 1u << i);
                    if (*c == '\0')
                        break;
                    pattern = c + 1;
                }
        }
    }
};
constexpr FormsByFirstCharacter forms_by_first;
static_assert(forms_by_first.head_count <= std::size(forms_by_first.heads), "at most 8 heads");

// A head at `at`, its 16 bytes at once as two words (a log's every line
// is tested): its bytes where they must be, then its digits, each byte of
// which, less '0', is at most 9, then its months' names.
inline bool head_matches(const char *at, const char *end, const FormsByFirstCharacter::Head &head)
{
    if (static_cast<size_t>(end - at) < head.width ||
        (head.first_byte != 0 && static_cast<unsigned char>(at[head.first_byte_at]) != head.first_byte))
        return false;
    uint64_t text[2] = {}, byte[2], byte_mask[2], digit_mask[2];
    // Past the head the masks are 0: a line of 16 bytes or more is copied
    // whole, which compilers do in two loads.
    if (end - at >= 16)
        std::memcpy(text, at, 16);
    else
        std::memcpy(text, at, static_cast<size_t>(end - at));
    std::memcpy(byte, head.byte, 16);
    std::memcpy(byte_mask, head.byte_mask, 16);
    std::memcpy(digit_mask, head.digit_mask, 16);
    constexpr uint64_t zeros = 0x3030303030303030u, high_nibbles = 0xf0f0f0f0f0f0f0f0u;
    constexpr uint64_t sixes = 0x0606060606060606u, sixteens = 0x1010101010101010u;
    for (int word = 0; word < 2; ++word) {
        if ((text[word] & byte_mask[word]) != byte[word])
            return false;
        const uint64_t digits = (text[word] ^ zeros) & digit_mask[word]; // a digit is 0 to 9 now
        if ((digits & high_nibbles) != 0 || ((digits + (sixes & digit_mask[word])) & sixteens) != 0)
            return false;
    }
    for (size_t i = 0; i < head.months; ++i) {
        bool month = false;
        for (const char *name : month_names)
            month = month || std::memcmp(at + head.month_at[i], name, 3) == 0;
        if (!month)
            return false;
    }
    return true;
}

// The number of the lowest bit that is set in `bits` (not 0).
size_t lowest_bit(uint32_t bits)
{
#if defined(__GNUC__)
    return static_cast<size_t>(__builtin_ctz(bits));
#else
    size_t number = 0;
    for (; (bits & 1) == 0; bits >>= 1)
        ++number;
    return number;
#endif
}

} // namespace

const FirstCharacterForms first_character_forms = [] {
    FirstCharacterForms forms{};
    for (int c = 0; c < 256; ++c) {
        forms.of[c] = forms_by_first.of[c];
        forms.head_may_begin[c] = forms_by_first.head_may_begin[c];
    }
    forms.any = forms_by_first.any;
    for (size_t i = 0; i < std::size(dump_forms); ++i)
        forms.first_column |= dump_forms[i].first_column ? 1u << i : 0;
    return forms;
}();

namespace {

// Each head tried with its own code, its bytes and masks constants there.
template <size_t... head>
uint32_t forms_of_heads(const char *at, const char *end, std::index_sequence<head...>)
{
    uint32_t forms = 0;
    ((forms == 0 && head_matches(at, end, forms_by_first.heads[head]) ? forms = forms_by_first.heads[head].forms
                                                                       : forms),
     ...);
    return forms;
}

} // namespace

uint32_t forms_for_head_line(const char *at, const char *end)
{
    // The forms of the first head it begins with.
    const uint32_t forms = forms_of_heads(at, end, std::make_index_sequence<forms_by_first.head_count>());
    return forms != 0 ? forms : first_character_forms.of[static_cast<unsigned char>(*at)];
}

LineKind read_form_line(size_t form, const char *begin, const char *end, DumpRecord &record, std::string &problem,
                        FormState &state)
{
    record = DumpRecord{};
    Cursor cursor{begin, end};
    LineKind kind = dump_forms[form].read_line(cursor, record, problem, state);
    if (kind == LineKind::record)
        kind = expect_line_end(cursor, problem);
    if (kind == LineKind::record && record.sub_leaf != 0)
        return LineKind::ignored;
    return kind;
}

LineKind read_dump_line(const char *begin, const char *end, DumpRecord &record, std::string &problem,
                        FormState &state, size_t &form)
{
    // Past the blanks (read once: every form but those of the first column
    // passes over them), and a mail's quote marks, "> " or ">> " or "> > ",
    // with the blanks around them.
    const char *text = begin;
    while (text != end && is_blank(*text))
        ++text;
    bool indented = text != begin;
    if (text != end && *text == '>') {
        while (text != end && (is_blank(*text) || *text == '>'))
            ++text;
        indented = false;
    }
    begin = text;
    // The forms of its start, then, where no such form reads it and it ends
    // in a value, those that read any line.
    const uint32_t start_forms = forms_for_line_start(begin, end, indented);
    for (uint32_t forms = start_forms; forms != 0; forms &= forms - 1) {
        form = lowest_bit(forms);
        const LineKind kind = read_form_line(form, begin, end, record, problem, state);
        if (kind != LineKind::other)
            return kind;
    }
    const uint32_t any_forms = first_character_forms.any & ~start_forms;
    for (uint32_t forms = any_forms != 0 && ends_in_value(begin, end) ? any_forms : 0; forms != 0; forms &= forms - 1) {
        form = lowest_bit(forms);
        const LineKind kind = read_form_line(form, begin, end, record, problem, state);
        if (kind != LineKind::other)
            return kind;
    }
    return LineKind::other;
}
