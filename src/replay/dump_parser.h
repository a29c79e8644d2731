// Reading recorded CPUID dumps into the leaves of the recorded back end.
#ifndef X86IDENT_DUMP_PARSER_H
#define X86IDENT_DUMP_PARSER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "../driver/cpuid_recorded.h"

// Real dumps run to a few MB (a 384-thread server's AIDA64 report is 2.6 MB,
// its cpuid -r more); the bound also ends endless input.
constexpr size_t max_dump_size = 64 * 1024 * 1024;

// No processor reports more than a few dozen extended leaves; a dump whose
// leaf 0x80000000 claims more would have the report print up to 2^31 lines.
constexpr uint32_t max_replayed_extended_leaf = 0x8000ffff;

struct DumpError {
    size_t line; // 1-based; 0 when the fault is not on one line
    std::string message;
};

// What a list of a dump's processors shows of one of them: the first records
// of the leaves that name it (vendor id, signature, name string).
struct ProcessorSummary {
    static constexpr uint32_t leaves[6] = {0, 1, 0x80000000u, 0x80000002u, 0x80000003u, 0x80000004u};
    RecordedLeaf records[6] = {}; // of leaves[i]; zeros where the dump has none
    unsigned recorded = 0;        // bit i: leaves[i] has its record
};

// Reads a dump in one pass, in pieces split anywhere, and keeps the records
// of one logical processor. Lines of these forms are records, in any mix;
// every other line is ignored:
//   00000001 00000633 00000000 00000000 0080fbff     x86ident's own dump
//   CPUID 00000001: 00000633-00000000-00000000-0080FBFF [SL 00]
//       AIDA64: also a blank before the colon, and blanks between the values;
//       "CPUID" and a word (Manufacturer, Revision, ...) is a header line
//   0x00000001 0x00: eax=0x00000633 ebx=0x00000000 ecx=0x00000000 edx=0x0080fbff
//       cpuid -r: the record of sub-leaf 0 is the leaf's, others are ignored;
//       also its older form without the sub-leaf, "0x00000001: eax=..."
//   basic_cpuid[1]=00000633 00000000 00000000 0080fbff
//       libcpuid: leaf 1; ext_cpuid[N] is leaf 0x80000000+N; its other
//       arrays hold sub-leaves and are ignored
// A new logical processor begins at each record of leaf 0 after the first;
// records before the first leaf 0 belong to processor 0.
class DumpReader {
public:
    // Keeps the records of processor `cpu` (0 is the first) and, when
    // `summarise` is set, a summary of every processor.
    explicit DumpReader(size_t cpu, bool summarise = false) : cpu_(cpu), summarise_(summarise) {}

    // The next piece of the text. False, with error() filled, on a NUL byte,
    // a malformed record, or more than max_dump_size bytes in all.
    bool add(const char *bytes, size_t size);

    // After the last piece. False, with error() filled, when the dump has no
    // record, no processor `cpu`, no leaf 0 for it, or a highest extended
    // leaf above max_replayed_extended_leaf.
    bool finish();

    // The chosen processor's records, in file order.
    const std::vector<RecordedLeaf> &leaves() const { return leaves_; }
    const DumpError &error() const { return error_; }
    const std::vector<ProcessorSummary> &summaries() const { return summaries_; }

private:
    bool add_line(const char *begin, const char *end);
    bool fail(size_t line, std::string message);

    size_t cpu_;
    bool summarise_;
    size_t processor_ = 0;      // the processor that the records belong to now
    bool any_record_ = false;   // a record seen (processor_ then exists)
    bool seen_leaf_0_ = false;  // a record of leaf 0 seen
    size_t line_number_ = 0;    // lines ended so far
    size_t size_ = 0;           // bytes added so far
    std::string partial_line_;  // a line cut between two pieces
    size_t extended_leaf_line_ = 0; // where the chosen processor's leaf 0x80000000 is
    std::vector<RecordedLeaf> leaves_;
    std::vector<ProcessorSummary> summaries_;
    DumpError error_{};
};

// A whole dump text at once: the records of processor `cpu`.
bool parse_dump(const std::string &text, size_t cpu, std::vector<RecordedLeaf> &leaves, DumpError &error);

// Reads a dump file ("-" for standard input) into `reader`, in pieces.
// Returns false with `error` filled when it cannot.
bool read_dump_file(const std::string &path, DumpReader &reader, DumpError &error);

#endif
