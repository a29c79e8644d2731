// VMware's vmware.log (Workstation, Player, Fusion, ESXi), after each line's
// head ("Aug 18 10:01:57.546: vmx| ", "2016-01-04T16:19:46.611-08:00| vmx|
// I125: ", "2022-11-24T17:46:40.863Z In(05) vmx "):
//   hostCPUID level 00000004, 1: 0x1c004122 0x01c0003f 0x0000003f 0x00000000
//   CPUID[1] level 00000001, 0: 0x000306a9 0x01100800 0x7fbae3bf 0xbfebfbff
//   guestCPUID level 00000001, 0: 0x0001067a 0x00010800 0x80000201 0x0febfbff
//   guest vs. host CPUID guest level 0000000d, 1a: 0x00000000 ...
// the host, its logical processor N, and the guest: the leaf, the sub-leaf
// in hex, the four values. "guest vs. host CPUID *host level ..." rows repeat
// the host's value where it differs from the guest's: no record. The other
// CPUID lines ("hostCPUID vendor:", "CPUID[0] name:", the "guest vs. host
// CPUID level eaxIn, ecxIn:" header) hold none either.
#include "forms.h"

namespace {

// The text just before `at` is `word` (and no letter or digit before that).
bool word_before(const char *line, const char *at, const char *word, size_t length)
{
    return static_cast<size_t>(at - line) >= length && std::memcmp(at - length, word, length) == 0 &&
           (at - length == line || !is_word_character(at[-static_cast<ptrdiff_t>(length) - 1]));
}

} // namespace

LineKind read_vmware_line(Cursor &cursor, DumpRecord &record, std::string &problem, FormState &)
{
    const char *cpuid = find_text(cursor.position, cursor.end, "CPUID", 5);
    if (cpuid == nullptr)
        return LineKind::other;
    Cursor after{cpuid + 5, cursor.end};
    if (word_before(cursor.position, cpuid, "host", 4)) {
        record.stream = RecordStream::vmware_host;
    } else if (word_before(cursor.position, cpuid, "guest", 5)) {
        record.stream = RecordStream::vmware_guest;
    } else if (cpuid != cursor.position && is_word_character(cpuid[-1])) {
        return LineKind::other;
    } else if (after.skip("[")) {
        uint32_t processor = 0;
        const char *digits = after.position;
        while (is_decimal(after.peek()) && after.position - digits < 9)
            processor = processor * 10 + static_cast<uint32_t>(*after.position++ - '0');
        if (after.position == digits || !after.skip("]"))
            return LineKind::other;
        record.stream = RecordStream::vmware_processor;
        record.stream_number = processor;
    } else if (word_before(cursor.position, cpuid, "guest vs. host ", 15)) {
        if (after.skip(" *host level "))
            return LineKind::ignored;
        if (!after.skip(" guest"))
            return LineKind::other;
        record.stream = RecordStream::vmware_guest;
    } else {
        return LineKind::other;
    }
    if (!after.skip(" level "))
        return LineKind::other;

    // From here on, a record: "LLLLLLLL, S: 0x... 0x... 0x... 0x...".
    const size_t digits = after.hex_run();
    if (!read_hex(after, "leaf number", record.leaf.leaf, problem))
        return LineKind::malformed;
    if (digits != 8) {
        problem = "leaf number of " + std::to_string(digits) + (digits == 1 ? " digit" : " digits") + ", not 8";
        return LineKind::malformed;
    }
    if (!after.skip(",")) {
        problem = "expected ',' after the leaf number";
        return LineKind::malformed;
    }
    after.skip_blanks();
    if (!read_hex(after, "sub-leaf", record.sub_leaf, problem))
        return LineKind::malformed;
    if (!after.skip(":")) {
        problem = "expected ':' after the sub-leaf";
        return LineKind::malformed;
    }
    cursor = after;
    return read_blank_separated(cursor, record.leaf, problem, true);
}
