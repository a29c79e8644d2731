// Reading a recorded CPUID dump into the leaves of the recorded back end.
#ifndef X86IDENT_DUMP_PARSER_H
#define X86IDENT_DUMP_PARSER_H

#include <cstddef>
#include <string>
#include <vector>

#include "../driver/cpuid_recorded.h"

// Dumps are a few KB; anything larger than this is not a dump.
constexpr std::size_t max_dump_size = 1024 * 1024;

struct DumpError {
    std::size_t line; // 1-based; 0 when the fault is not on one line
    std::string message;
};

// Recognises, line by line, the two record formats
//   CPUID 00000001: 00000633-00000000-00000000-0080FBFF [annotation]
//   00000001 00000633 00000000 00000000 0080fbff        (x86ident's own dump)
// and ignores every other line. Records go to `leaves` in file order.
// Returns false with `error` filled on a malformed record, a NUL byte or a
// dump without leaf 0.
bool parse_dump(const std::string &text, std::vector<RecordedLeaf> &leaves, DumpError &error);

// Reads a whole dump file ("-" for standard input) into `text`, within
// max_dump_size. Returns false with `error` filled when it cannot.
bool read_dump_file(const std::string &path, std::string &text, DumpError &error);

#endif
