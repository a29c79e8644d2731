// Reading recorded CPUID dumps: the reading loop over a dump's lines, and
// the logical processors that its records make.
#ifndef X86IDENT_DUMP_PARSER_H
#define X86IDENT_DUMP_PARSER_H

#include <stddef.h>
#include <stdint.h>

#include <deque>
#include <string>
#include <vector>

#include "line_source.h"
#include "recorded/cpuid_recorded.h"
#include "replay/forms/dump_line.h"

// No processor reports more than a few dozen extended leaves; a dump whose
// leaf 0x80000000 claims more would have the report print up to 2^31 lines.
constexpr uint32_t max_replayed_extended_leaf = 0x8000ffff;

// The leaves that --list reads of every processor: the vendor id, the
// signature, the hybrid flag and core type, the name string.
constexpr uint32_t listed_leaves[] = {0, 1, 7, 0x1a, 0x80000000u, 0x80000002u, 0x80000003u, 0x80000004u};

// One logical processor of a dump: whose it is, and its records, in file
// order: all of them for the processor chosen and for VMware's host dumps
// (which a list of differences may amend), those of listed_leaves for the
// others when a list is asked for.
struct Processor {
    RecordStream stream = RecordStream::dump;
    uint32_t stream_number = 0;              // VMware's CPUID[N]: N
    std::string label;                       // a named stream's
    size_t amends = static_cast<size_t>(-1); // a list of differences: the host processor it amends
    std::vector<RecordedLeaf> leaves;
    size_t extended_leaf_line = 0;           // its first record of leaf 0x80000000
    std::string extended_leaf_file;

    // The first record of `leaf` (the one that wins), or nullptr.
    const RecordedLeaf *leaf(uint32_t number) const;
};

// The reading loop: each line that a form reads as a record of sub-leaf 0
// joins a processor. A new logical processor begins at each record of leaf
// 0 after the first (in a stream that a leaf 0 splits), at the first record
// after a heading (a policy's, a table's), and at each file of a folder;
// records before the first leaf 0 belong to processor 0. A hypervisor log
// holds several streams of records (guest and host), each with its
// processors, and a form may name its streams (labels); processors are
// numbered in the order of their first records. In a VMware log, the
// records of a guest or of a CPUID[N] that came after the host's dump
// began, without a leaf 0 of their own, are a list of differences: a
// processor that is the host's dump with those leaves in their place.
class DumpReader {
public:
    // Keeps processor `cpu` (0 is the first) whole and, when `listing`, the
    // listed leaves of every processor.
    explicit DumpReader(size_t cpu, bool listing = false) : cpu_(cpu), listing_(listing) {}

    // Reads every line. False, with error() filled, when the lines cannot be
    // read, a record is malformed, or the dump has no record, no processor
    // `cpu`, or (unless listing) no leaf 0 for it or a highest extended leaf
    // above max_replayed_extended_leaf.
    bool read(LineSource &lines);

    // What a form made of line `line` (of a folder's `file`): a record joins
    // its processor; after a heading, its stream's next record begins one.
    // read() takes each line so.
    void take(LineKind kind, const DumpRecord &record, size_t line, const std::string &file);
    // After the last line: the faults of the whole dump (read() says them).
    bool finish(size_t bytes_read);

    // The chosen processor's records, in file order (a list of differences:
    // its own, then its host's).
    const std::vector<RecordedLeaf> &leaves() const
    {
        static const std::vector<RecordedLeaf> no_leaves;
        return cpu_ < entry_of_.size() ? processors_[entry_of_[cpu_]].leaves : no_leaves;
    }
    // Every processor, in order, when listing.
    const std::deque<Processor> &processors() const { return processors_; }
    const DumpError &error() const { return error_; }

private:
    static constexpr size_t none = static_cast<size_t>(-1);
    // One stream of records and its current processor.
    struct Stream {
        RecordStream kind;
        uint32_t number;
        std::string label;
        bool open = false;          // it has a current processor
        size_t processor = 0;
        bool has_leaf_0 = false;    // the current processor has a record of leaf 0
        size_t began_at = 0;        // the record that began it (records_ then)
        size_t last_leaf_0_at = 0;  // this stream's last record of leaf 0; 0: none
        size_t amended_host = none; // the host processor whose dump its differences amend
        size_t amendment = 0;       // the processor that they make
    };

    size_t processor_for(const DumpRecord &record);
    Stream &stream_of(RecordStream kind, uint32_t number, std::string_view label);
    void begin_processor(Stream &stream);
    size_t new_processor(const Stream &stream, size_t amends);
    bool fail(size_t line, std::string message, std::string file = {});

    size_t cpu_;
    bool listing_;
    FormState form_state_;
    std::vector<Stream> streams_;
    // The processors kept: every one when listing, else the chosen one and
    // VMware's host dumps; a deque, never moved as it grows.
    std::deque<Processor> processors_;
    std::vector<uint32_t> entry_of_; // each processor's place in processors_, or not_kept
    static constexpr uint32_t not_kept = static_cast<uint32_t>(-1);
    size_t records_ = 0;        // records read so far, of every stream: the order of events
    size_t host_stream_ = none; // VMware's host stream, once it has a record
    size_t last_stream_ = none; // the stream of the last record
    DumpError error_{};
};

// A whole dump text at once, perhaps in two pieces cut at `cut`: the records
// of processor `cpu`.
bool parse_dump(const std::string &text, size_t cpu, std::vector<RecordedLeaf> &leaves, DumpError &error,
                size_t cut = std::string::npos);

// Reads a dump file ("-" for standard input) or a folder of
// hwloc-gather-cpuid's pu files into `reader`. Returns false with `error`
// filled when it cannot.
bool read_dump_file(const std::string &path, DumpReader &reader, DumpError &error);

#endif
