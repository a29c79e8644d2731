// Reading recorded CPUID dumps into the leaves of the recorded back end.
#ifndef X86IDENT_DUMP_PARSER_H
#define X86IDENT_DUMP_PARSER_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "recorded/cpuid_recorded.h"
#include "replay/forms/dump_line.h"

// Real dumps run to a few MB (a 384-thread server's AIDA64 report is 2.6 MB,
// its cpuid -r more); the bound also ends endless input.
constexpr size_t max_dump_size = 64 * 1024 * 1024;

// No processor reports more than a few dozen extended leaves; a dump whose
// leaf 0x80000000 claims more would have the report print up to 2^31 lines.
constexpr uint32_t max_replayed_extended_leaf = 0x8000ffff;

struct DumpError {
    size_t line; // 1-based; 0 when the fault is not on one line
    std::string message;
    std::string file; // in a folder, the file of the fault; else empty
};

// What a list of a dump's processors shows of one of them: the first records
// of the leaves that name it (vendor id, signature, name string, the hybrid
// flag and core type), and whose it is in a hypervisor log.
struct ProcessorSummary {
    static constexpr uint32_t leaves[8] = {0, 1, 0x80000000u, 0x80000002u, 0x80000003u, 0x80000004u, 7, 0x1a};
    RecordedLeaf records[8] = {}; // of leaves[i]; zeros where the dump has none
    unsigned recorded = 0;        // bit i: leaves[i] has its record
    RecordStream stream = RecordStream::dump;
    uint32_t stream_number = 0;
    size_t amends = static_cast<size_t>(-1); // a list of differences: the host processor it amends
};

// Reads a dump in one pass, in pieces split anywhere, and keeps the records
// of one logical processor. Lines of the forms in forms/forms.h are records,
// in any mix (x86ident's own dump, AIDA64, CPU-Z, cpuid -r, libcpuid,
// cpufetch, x86info, hwloc, kcpuid, ...); every other line is ignored. A
// file is bytes (Latin-1 or UTF-8, a UTF-8 byte-order mark skipped) or,
// after a byte-order mark, UTF-16 of either byte order.
// A new logical processor begins at each record of leaf 0 after the first,
// and at each file of a folder; records before the first leaf 0 belong to
// processor 0. A hypervisor log holds several streams of records (guest and
// host), each with its processors; processors are numbered in the order of
// their first records. In a VMware log, the records of a guest or of a
// CPUID[N] that came after the host's dump began, without a leaf 0 of their
// own, are a list of differences: a processor that is the host's dump with
// those leaves in their place.
class DumpReader {
public:
    // Keeps the records of processor `cpu` (0 is the first) and, when
    // `summarise` is set, a summary of every processor.
    explicit DumpReader(size_t cpu, bool summarise = false) : cpu_(cpu), summarise_(summarise) {}

    // The next piece of the file. False, with error() filled, on a NUL byte
    // (but for one in a line that no record can begin, after the first
    // record), a malformed record, a compressed archive, or more than
    // max_dump_size bytes in all.
    bool add(const char *bytes, size_t size);

    // A folder's next file (`name`, for messages), whose records are the
    // next logical processor's; the files' sizes count together.
    bool start_file(const std::string &name);

    // After the last piece. False, with error() filled, when the dump has no
    // record, no processor `cpu`, no leaf 0 for it, UTF-16 of odd length, or
    // a highest extended leaf above max_replayed_extended_leaf.
    bool finish();

    // The chosen processor's records, in file order.
    const std::vector<RecordedLeaf> &leaves() const { return leaves_; }
    const DumpError &error() const { return error_; }
    const std::vector<ProcessorSummary> &summaries() const { return summaries_; }

private:
    enum class Encoding { undecided, bytes, utf16_le, utf16_be };

    bool decide_encoding();
    bool add_decoded(const char *bytes, size_t size);
    bool add_utf16(const char *bytes, size_t size);
    bool add_text(const char *text, size_t size);
    bool add_lines(const char *begin, const char *end);
    bool add_line(const char *begin, const char *end);
    bool refuses_nul_in(const char *begin, const char *end) const;
    bool fail_on_nul();
    bool end_file();
    bool fail(size_t line, std::string message);

    static constexpr size_t none = static_cast<size_t>(-1);
    // One stream of records and its current processor.
    struct Stream {
        RecordStream kind;
        uint32_t number;
        bool open = false;          // it has a current processor
        size_t processor = 0;
        bool has_leaf_0 = false;    // the current processor has a record of leaf 0
        size_t began_at = 0;        // the record that began it (records_ then)
        size_t last_leaf_0_at = 0;  // this stream's last record of leaf 0; 0: none
        size_t amended_host = none; // the host processor whose dump its differences amend
        size_t amendment = 0;       // the processor that they make
    };

    size_t processor_for(const RecordedLeaf &leaf);
    size_t stream_index(RecordStream kind, uint32_t number);
    void begin_processor(Stream &stream);
    void note_processor(size_t processor, const Stream &stream, size_t amends);

    size_t cpu_;
    bool summarise_;
    std::vector<Stream> streams_;
    size_t processors_ = 0;     // processors begun so far
    size_t records_ = 0;        // records read so far, of every stream: the order of events
    size_t host_stream_ = none; // VMware's host stream, once it has a record
    size_t last_stream_ = none; // the stream of the last record
    bool any_record_ = false;
    bool chosen_has_leaf_0_ = false;
    size_t chosen_amends_ = none; // the host processor whose dump the chosen one amends
    std::vector<RecordedLeaf> host_leaves_;     // the records of VMware's current host dump
    std::vector<RecordedLeaf> amended_leaves_;  // those of the dump that the chosen one amends
    size_t host_extended_leaf_line_ = 0, amended_extended_leaf_line_ = 0;
    std::string host_extended_leaf_file_, amended_extended_leaf_file_;
    size_t line_number_ = 0;    // lines of the file ended so far
    size_t size_ = 0;           // bytes added so far, of every file
    size_t files_ = 0;          // a folder's files started
    std::string file_;          // a folder's file being read
    Encoding encoding_ = Encoding::undecided;
    std::string file_start_;    // the file's first bytes, until they tell its encoding
    int odd_byte_ = -1;         // UTF-16: the first byte of a unit cut between pieces
    LineState line_state_;
    std::string partial_line_;  // a line cut between two pieces
    bool partial_nul_allowed_ = false; // it holds a NUL byte, allowed there
    size_t extended_leaf_line_ = 0; // where the chosen processor's leaf 0x80000000 is
    std::string extended_leaf_file_;
    std::vector<RecordedLeaf> leaves_;
    std::vector<ProcessorSummary> summaries_;
    DumpError error_{};
};

// A whole dump text at once: the records of processor `cpu`.
bool parse_dump(const std::string &text, size_t cpu, std::vector<RecordedLeaf> &leaves, DumpError &error);

// Reads a dump file ("-" for standard input) or a folder of
// hwloc-gather-cpuid's pu files into `reader`, in pieces. Returns false with
// `error` filled when it cannot.
bool read_dump_file(const std::string &path, DumpReader &reader, DumpError &error);

#endif
