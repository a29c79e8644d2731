// From a dump's bytes to its lines: where the bytes come from (a file,
// standard input, a folder of hwloc-gather-cpuid's pu files, a text in
// memory), in pieces, and all that makes lines of them, which the reading
// loop then pulls one at a time.
#ifndef X86IDENT_LINE_SOURCE_H
#define X86IDENT_LINE_SOURCE_H

#include <stddef.h>

#include <cstdio>
#include <string>
#include <vector>

// Real dumps run to a few MB (a 384-thread server's AIDA64 report is 2.6 MB,
// its cpuid -r more); the bound also ends endless input.
constexpr size_t max_dump_size = 64 * 1024 * 1024;

struct DumpError {
    size_t line; // 1-based; 0 when the fault is not on one line
    std::string message;
    std::string file; // in a folder, the file of the fault; else empty
};

// A dump's bytes, file by file (one, but for a folder), piece by piece:
// memory stays a piece, whatever the size.
class DumpBytes {
public:
    // A file, "-" for standard input, or a folder of pu files.
    explicit DumpBytes(const std::string &path) : path_(path) {}
    // A text in memory, in two pieces cut at `cut` (where a piece ends must
    // change nothing).
    DumpBytes(const char *text, size_t size, size_t cut) : text_(text), size_(size), cut_(cut) {}
    ~DumpBytes();
    DumpBytes(const DumpBytes &) = delete;
    DumpBytes &operator=(const DumpBytes &) = delete;

    // Opens the next file, its name in a folder ("pu3") or else empty. False
    // when there is none, or on a fault (error() says which).
    bool next_file(std::string &name);
    // The open file's next piece. False at its end, or on a fault.
    bool next_piece(const char *&data, size_t &size);
    const DumpError &error() const { return error_; }

private:
    bool open_folder_or_file();
    bool fail(const std::string &message);

    std::string path_;
    const char *text_ = nullptr;
    size_t size_ = 0, cut_ = 0, pieces_given_ = 0;
    bool started_ = false;
    std::FILE *file_ = nullptr;
    bool at_end_ = false;                 // the open file has no more pieces
    std::vector<unsigned long> pu_numbers_; // a folder's files, in order
    size_t next_pu_ = 0;
    std::vector<char> piece_;
    DumpError error_{};
};

// One line, without its line end: valid until the next one is pulled.
struct Line {
    const char *begin = nullptr, *end = nullptr;
    size_t number = 0;          // in its file, from 1
    bool begins_file = false;   // no text: a folder's next file begins here
};

// Lines that LF or CR LF end, or, in a file whose first line ends with CR
// alone, CR or CR LF (the last line may have none),
// of bytes (Latin-1 or UTF-8, a UTF-8 byte-order mark skipped) or, after a
// byte-order mark, of UTF-16 of either byte order, whose characters up to
// U+00FF are their byte and any other '?'. Refused: more than
// max_dump_size bytes in all, a compressed archive, UTF-16 of odd length,
// and a NUL byte but in a line that no form may read by its first
// characters after the reading loop has found its first record
// (records_begun): x86ident's own vendor line
// prints the vendor id as the processor answers it, and some answer twelve
// zero bytes. A refused line is refused as soon as a piece shows it, so
// binary input is not read to its end.
class LineSource {
public:
    explicit LineSource(DumpBytes &bytes) : bytes_(bytes) {}

    // The next line. False at the end, or on a fault (failed(), error()).
    bool next(Line &line);
    void records_begun() { records_begun_ = true; }

    bool failed() const { return failed_; }
    const DumpError &error() const { return error_; }
    size_t size() const { return size_; }          // bytes read, of every file
    const std::string &file() const { return file_; } // a folder's file being read

private:
    enum class Encoding { undecided, bytes, utf16_le, utf16_be };

    bool next_piece();
    const char *line_end_stop() const;
    bool decide_encoding(const char *rest, size_t rest_size);
    void decode_utf16(const char *bytes, size_t size);
    void take_text(const char *text, size_t size); // the piece's text, from at_ to piece_end_
    bool refuses_nul(const char *begin, const char *end) const;
    bool fail(size_t line, const std::string &message);
    bool fail_on_nul(size_t line);

    DumpBytes &bytes_;
    bool file_open_ = false, failed_ = false, records_begun_ = false;
    std::string file_;
    Encoding encoding_ = Encoding::undecided;
    std::string file_start_;  // the file's first bytes, until they tell its encoding
    int odd_byte_ = -1;       // UTF-16: the first byte of a unit cut between pieces
    std::string decoded_;     // a piece as text, where it is not its bytes
    const char *at_ = nullptr, *piece_end_ = nullptr; // the rest of the piece
    bool piece_has_nul_ = false;
    std::string partial_;     // a line cut between pieces
    bool partial_nul_allowed_ = false; // it holds a NUL byte, allowed there
    bool handed_partial_ = false; // the last line handed out was partial_
    enum class LineEnd { undecided, lf, cr };
    LineEnd line_end_ = LineEnd::undecided; // the file's, as its first line end tells
    bool cr_pending_ = false; // a piece ended with CR: an LF next is its CR LF's
    size_t line_number_ = 0, size_ = 0;
    DumpError error_{};
};

#endif
