// The line forms of the dumps that x86ident-replay reads, one reader each,
// in the order the dump reader tries them. Each says "record" (with `leaf`
// filled), "ignored" (its own line, but no record: another sub-leaf),
// "other" (not a line of its form) or "malformed" (it starts like one of its
// records and then goes wrong, with `problem` saying how).
#ifndef X86IDENT_FORMS_H
#define X86IDENT_FORMS_H

#include "../dump_line.h"

typedef LineKind (*LineReader)(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);

LineKind read_own_dump_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpuid_equals_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_aida64_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpuz_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpufetch_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_kcpuid_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_cpuid_r_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_libcpuid_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_x86info_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);
LineKind read_hwloc_line(Cursor line, RecordedLeaf &leaf, std::string &problem, LineState &state);

// Every form's lines begin, after blanks, with a hex digit or letter (0x,
// CPUID, Function, basic_, eax in:, ...): the reading loop tries the forms
// on those lines alone. In the order of how often they are met. A form whose lines begin like
// another's is tried before it: CPU-Z's, cpufetch's and kcpuid's "0x..."
// lines before cpuid -r's, which claims the rest of them; AIDA64 leaves the
// "CPUID LLLLLLLL:SS = " lines to the other cpuid's reader.
constexpr LineReader line_readers[] = {
    read_own_dump_line, read_aida64_line,  read_cpuz_line,     read_cpufetch_line, read_kcpuid_line,
    read_cpuid_r_line,  read_libcpuid_line, read_cpuid_equals_line, read_x86info_line, read_hwloc_line,
};

// Names them all, for a file in which none of them finds a record.
constexpr const char *forms_read =
    "x86ident, AIDA64, CPU-Z, cpuid -r, libcpuid, cpufetch, x86info, hwloc-gather-cpuid, kcpuid "
    "or \"CPUID LLLLLLLL:SS = ...\"";

#endif
