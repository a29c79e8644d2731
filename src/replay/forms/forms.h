// The line forms of the dumps that x86ident-replay reads: one reader each,
// and the one table of them that the reading loop, the refusal message and
// --help read (the man page, the README, the web page and the package
// description are checked against it). Each reader says "record" (with `leaf`
// filled), "ignored" (its own line, but no record: another sub-leaf), "other"
// (not a line of its form) or "malformed" (it starts like one of its records
// and then goes wrong, with `problem` saying how).
#ifndef X86IDENT_FORMS_H
#define X86IDENT_FORMS_H

#include <iterator>

#include "dump_line.h"

typedef LineKind (*LineReader)(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);

LineKind read_own_dump_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_aida64_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpuz_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpufetch_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_kcpuid_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpuid_r_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_libcpuid_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_x86info_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_hwloc_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpuid_equals_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_virtualbox_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_vmware_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);

struct DumpForm {
    const char *name;    // as every list of the forms names it
    const char *example; // a record of leaf 1 (00000633 00000000 00000000 0080fbff); <TAB> is a tab
    const char *note;    // for --help: a few words on where it comes from
    LineReader read_line;
    LineStart lines;     // the lines that it reads (line_start): records, or a log's with its head
};

// The reading loop tries the forms on the lines that can hold a record
// (line_start) alone, in this order, which is that of how often they are met:
// a line with a log's head the form of that log, any other the rest. A form
// whose lines begin like another's is tried before it: CPU-Z's, cpufetch's
// and kcpuid's "0x..." lines before cpuid -r's, which claims the rest of
// them; AIDA64 leaves the "CPUID LLLLLLLL:SS = " lines to cpuid_equals.
constexpr DumpForm dump_forms[] = {
    {"x86ident", "00000001 00000633 00000000 00000000 0080fbff",
     "its own raw dump lines: \"x86ident | tee mine.txt\" replays anywhere", read_own_dump_line, LineStart::record},
    {"AIDA64", "CPUID 00000001: 00000633-00000000-00000000-0080FBFF",
     "reports of every version (the InstLatx64 collection), also with blanks for '-'", read_aida64_line, LineStart::record},
    {"CPU-Z", "<TAB>0x00000001<TAB><TAB>0x00000633<TAB>0x00000000<TAB>0x00000000<TAB>0x0080FBFF",
     ".txt reports (thread dumps); 1.41 and 1.50 without the first tab; also pasted", read_cpuz_line, LineStart::record},
    {"cpufetch", "0x00000001 0x00: 0x00000633 0x00000000 0x00000000 0x0080FBFF", "cpufetch --raw",
     read_cpufetch_line, LineStart::record},
    {"kcpuid", "0x00000001: EAX=0x00000633, EBX=0x00000000, ECX=0x00000000, EDX=0x0080fbff",
     "Linux's kcpuid -r, sub-leaves after a \"subleafs:\" line", read_kcpuid_line, LineStart::record},
    {"cpuid -r", "0x00000001 0x00: eax=0x00000633 ebx=0x00000000 ecx=0x00000000 edx=0x0080fbff",
     "Debian's cpuid -r, also its older form without the sub-leaf", read_cpuid_r_line, LineStart::record},
    {"libcpuid", "basic_cpuid[1]=00000633 00000000 00000000 0080fbff",
     "cpuid_tool --save; ext_cpuid[N] is leaf 0x80000000+N", read_libcpuid_line, LineStart::record},
    {"x86info", "eax in: 0x00000001, eax = 00000633 ebx = 00000000 ecx = 00000000 edx = 0080fbff",
     "x86info -r: one processor when all are identical", read_x86info_line, LineStart::record},
    {"hwloc-gather-cpuid", "1 1 0 0 0 => 633 0 0 80fbff",
     "a puN file; give its folder for every processor", read_hwloc_line, LineStart::record},
    {"CPUID LLLLLLLL:SS = ...", "CPUID 00000001:00 = 00000633 00000000 00000000 0080fbff | ...",
     "the dump of another program named cpuid", read_cpuid_equals_line, LineStart::record},
    {"VirtualBox", "00:00:04.809418 Gst: 00000001/0000  00000633 00000000 00000000 0080fbff",
     "VBox.log: the guest (Gst:) and the host (Hst:), two processors", read_virtualbox_line, LineStart::time_head},
    {"VMware", "2022-11-24T17:46:40.863Z In(05) vmx hostCPUID level 00000001, 0: 0x00000633 0x00000000 0x00000000 0x0080fbff",
     "vmware.log: the host, its processors (CPUID[N]) and the guest", read_vmware_line, LineStart::date_head},
};

// The forms that read the lines of each start, in the table's order: the
// forms of one start stand together, so that a line is tried on its own.
struct FormRange {
    size_t begin, end;
};
constexpr FormRange forms_reading(LineStart start)
{
    size_t begin = 0;
    while (begin < std::size(dump_forms) && dump_forms[begin].lines != start)
        ++begin;
    size_t end = begin;
    while (end < std::size(dump_forms) && dump_forms[end].lines == start)
        ++end;
    return {begin, end};
}
constexpr FormRange form_ranges[] = {forms_reading(LineStart::no_record), forms_reading(LineStart::record),
                                     forms_reading(LineStart::time_head), forms_reading(LineStart::date_head)};
static_assert(form_ranges[1].end - form_ranges[1].begin + form_ranges[2].end - form_ranges[2].begin +
                      form_ranges[3].end - form_ranges[3].begin ==
                  std::size(dump_forms),
              "the forms of one kind of line stand together in dump_forms");

#endif
