#include "dump_parser.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

#include "replay/forms/forms.h"

namespace {

std::string processors_text(size_t count)
{
    return std::to_string(count) + (count == 1 ? " processor" : " processors");
}

// Enough of a file's first bytes to tell a byte-order mark or an archive.
constexpr size_t file_mark_size = 6;

bool begins_with(const std::string &bytes, const char *mark, size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), mark, length) == 0;
}

// "x86ident, AIDA64, ... or CPUID LLLLLLLL:SS = ...": every form, for a file
// in which none of them finds a record.
std::string form_names()
{
    std::string names;
    for (const DumpForm &form : dump_forms) {
        if (!names.empty())
            names += &form == std::end(dump_forms) - 1 ? " or " : ", ";
        names += form.name;
    }
    return names;
}

} // namespace

bool DumpReader::fail(size_t line, std::string message)
{
    error_ = DumpError{line, std::move(message), file_};
    return false;
}

// A NUL byte makes no text dump, except in a line that cannot hold a record
// (line_start: its first character, after blanks and quote marks, the NUL
// itself perhaps, is no hex digit, and it has no log's head before a record)
// after the first record: x86ident's own vendor line prints the vendor id as
// the processor answers it, and some answer twelve zero bytes.
bool DumpReader::refuses_nul_in(const char *begin, const char *end) const
{
    return !any_record_ || line_start(begin, end) != LineStart::no_record;
}

bool DumpReader::fail_on_nul()
{
    return fail(line_number_ + 1, encoding_ == Encoding::bytes ? "NUL byte: not a text dump"
                                                               : "NUL character: not a text dump");
}

bool DumpReader::add_line(const char *begin, const char *end)
{
    ++line_number_;
    if (end != begin && end[-1] == '\r')
        --end;
    const LineStart start = line_start(begin, end);
    if (start == LineStart::no_record)
        return true; // most lines of a report
    RecordedLeaf leaf{};
    std::string problem;
    LineKind kind = LineKind::other;
    line_state_.line = line_number_;
    line_state_.stream = RecordStream::dump;
    line_state_.stream_number = 0; // set by a record of VMware's CPUID[N] alone
    const FormRange forms = form_ranges[static_cast<int>(start)];
    for (const DumpForm *form = dump_forms + forms.begin; form != dump_forms + forms.end; ++form) {
        kind = form->read_line(Cursor{begin, end}, leaf, problem, line_state_);
        if (kind != LineKind::other)
            break;
    }
    if (kind == LineKind::malformed)
        return fail(line_number_, "malformed CPUID record: " + problem);
    if (kind != LineKind::record)
        return true;

    any_record_ = true;
    const size_t processor = processor_for(leaf);
    if (summarise_) {
        ProcessorSummary &summary = summaries_[processor];
        for (int i = 0; i < 8; ++i)
            if (leaf.leaf == ProcessorSummary::leaves[i] && (summary.recorded & (1u << i)) == 0) {
                summary.records[i] = leaf;
                summary.recorded |= 1u << i;
            }
    }
    if (processor == cpu_) {
        if (leaf.leaf == 0)
            chosen_has_leaf_0_ = true;
        if (leaf.leaf == 0x80000000u && extended_leaf_line_ == 0) {
            extended_leaf_line_ = line_number_;
            extended_leaf_file_ = file_;
        }
        leaves_.push_back(leaf);
    }
    // VMware's host dump, kept while a list of differences may amend it.
    if (line_state_.stream == RecordStream::vmware_host) {
        if (leaf.leaf == 0x80000000u && host_extended_leaf_line_ == 0) {
            host_extended_leaf_line_ = line_number_;
            host_extended_leaf_file_ = file_;
        }
        host_leaves_.push_back(leaf);
        if (processor == chosen_amends_) {
            amended_leaves_.push_back(leaf);
            amended_extended_leaf_line_ = host_extended_leaf_line_;
            amended_extended_leaf_file_ = host_extended_leaf_file_;
        }
    }
    return true;
}

size_t DumpReader::stream_index(RecordStream kind, uint32_t number)
{
    if (last_stream_ < streams_.size() && streams_[last_stream_].kind == kind && streams_[last_stream_].number == number)
        return last_stream_; // most records are of the stream of the record before
    for (size_t i = 0; i < streams_.size(); ++i)
        if (streams_[i].kind == kind && streams_[i].number == number)
            return last_stream_ = i;
    streams_.push_back(Stream{kind, number});
    if (kind == RecordStream::vmware_host)
        host_stream_ = streams_.size() - 1;
    return last_stream_ = streams_.size() - 1;
}

void DumpReader::note_processor(size_t processor, const Stream &stream, size_t amends)
{
    if (!summarise_)
        return;
    summaries_.resize(processor + 1);
    summaries_[processor].stream = stream.kind;
    summaries_[processor].stream_number = stream.number;
    summaries_[processor].amends = amends;
}

void DumpReader::begin_processor(Stream &stream)
{
    stream.processor = processors_++;
    stream.open = true;
    stream.has_leaf_0 = false;
    stream.began_at = records_;
    if (stream.kind == RecordStream::vmware_host) {
        host_leaves_.clear();
        host_extended_leaf_line_ = 0;
    }
    note_processor(stream.processor, stream, none);
}

// The processor of a record: its stream's current one, a further one at a
// second record of leaf 0, or, for VMware's guest and CPUID[N] lines that
// came after the host's dump began with no leaf 0 of their own since, the
// one that their stream's records make of the host's dump.
size_t DumpReader::processor_for(const RecordedLeaf &leaf)
{
    ++records_;
    const size_t index = stream_index(line_state_.stream, line_state_.stream_number);
    const bool amending_kind =
        line_state_.stream == RecordStream::vmware_guest || line_state_.stream == RecordStream::vmware_processor;
    if (amending_kind && leaf.leaf != 0 && host_stream_ != none && streams_[host_stream_].open &&
        streams_[index].last_leaf_0_at < streams_[host_stream_].began_at) {
        const size_t host = streams_[host_stream_].processor;
        Stream &stream = streams_[index];
        if (stream.amended_host == host)
            return stream.amendment;
        const size_t processor = processors_++;
        stream.amended_host = host;
        stream.amendment = processor;
        note_processor(processor, stream, host);
        if (processor == cpu_) {
            chosen_amends_ = host;
            amended_leaves_ = host_leaves_;
            amended_extended_leaf_line_ = host_extended_leaf_line_;
            amended_extended_leaf_file_ = host_extended_leaf_file_;
        }
        return processor;
    }
    Stream &stream = streams_[index];
    if (!stream.open || (leaf.leaf == 0 && stream.has_leaf_0))
        begin_processor(stream);
    if (leaf.leaf == 0) {
        stream.has_leaf_0 = true;
        stream.last_leaf_0_at = records_;
    }
    return stream.processor;
}

// A line as its LF ends it: a CR in it that no LF follows ends a line too (a
// dump saved with CR line ends, or a mix of them); add_line drops the CR of
// a CR LF.
bool DumpReader::add_lines(const char *begin, const char *end)
{
    const void *cr;
    while ((cr = std::memchr(begin, '\r', static_cast<size_t>(end - begin))) != nullptr &&
           static_cast<const char *>(cr) + 1 != end) {
        if (!add_line(begin, static_cast<const char *>(cr)))
            return false;
        begin = static_cast<const char *>(cr) + 1;
    }
    return add_line(begin, end);
}

// Lines are read in order, and a line cut between two pieces is refused for
// a NUL byte as soon as a piece shows it (binary input, /dev/zero, is not
// read to its end): the first fault in the file is the one told, wherever
// its pieces end.
bool DumpReader::add_text(const char *text, size_t size)
{
    const char *const end = text + size;
    // Most pieces hold no NUL byte, and then no line needs a look for one.
    const bool any_nul = std::memchr(text, '\0', size) != nullptr;
    const char *start = text;
    while (const void *found = std::memchr(start, '\n', static_cast<size_t>(end - start))) {
        const char *begin = start, *line_end = static_cast<const char *>(found);
        if (!partial_line_.empty()) {
            partial_line_.append(start, line_end);
            begin = partial_line_.data();
            line_end = begin + partial_line_.size();
        }
        if (any_nul && !partial_nul_allowed_ &&
            std::memchr(begin, '\0', static_cast<size_t>(line_end - begin)) != nullptr &&
            refuses_nul_in(begin, line_end))
            return fail_on_nul();
        const bool ok = add_lines(begin, line_end);
        partial_line_.clear();
        partial_nul_allowed_ = false;
        if (!ok)
            return false;
        start = static_cast<const char *>(found) + 1;
    }
    partial_line_.append(start, end);
    // Once a NUL byte of the cut line is allowed, so is every later one.
    if (any_nul && !partial_nul_allowed_ && std::memchr(start, '\0', static_cast<size_t>(end - start)) != nullptr) {
        if (refuses_nul_in(partial_line_.data(), partial_line_.data() + partial_line_.size()))
            return fail_on_nul();
        partial_nul_allowed_ = true;
    }
    return true;
}

// UTF-16 as its code units: those up to U+00FF are their byte, as in the
// Latin-1 of other files; any other character (only ever outside records,
// as in "Xeon(TM)" headers) is '?', which neither makes nor breaks a record.
bool DumpReader::add_utf16(const char *bytes, size_t size)
{
    std::string text;
    text.reserve(size / 2 + 1);
    for (size_t at = 0; at < size; ++at) {
        const unsigned byte = static_cast<unsigned char>(bytes[at]);
        if (odd_byte_ < 0) {
            odd_byte_ = static_cast<int>(byte);
            continue;
        }
        const unsigned unit = encoding_ == Encoding::utf16_le ? (byte << 8) | static_cast<unsigned>(odd_byte_)
                                                              : (static_cast<unsigned>(odd_byte_) << 8) | byte;
        odd_byte_ = -1;
        text.push_back(unit <= 0xff ? static_cast<char>(unit) : '?');
    }
    return add_text(text.data(), text.size());
}

// A file's first bytes: a byte-order mark, or the mark of an archive that
// holds the dump (hwloc's folders travel as tarballs).
bool DumpReader::decide_encoding()
{
    std::string start = std::move(file_start_);
    file_start_.clear();
    size_t skipped = 0;
    if (begins_with(start, "\xff\xfe", 2) || begins_with(start, "\xfe\xff", 2)) {
        encoding_ = start[0] == '\xff' ? Encoding::utf16_le : Encoding::utf16_be;
        skipped = 2;
    } else if (begins_with(start, "\x1f\x8b", 2) || begins_with(start, "BZh", 3) ||
               begins_with(start, "\xfd" "7zXZ\0", 6)) {
        return fail(0, "a compressed archive: unpack it first");
    } else {
        encoding_ = Encoding::bytes;
        if (begins_with(start, "\xef\xbb\xbf", 3))
            skipped = 3; // UTF-8's byte-order mark
    }
    return add_decoded(start.data() + skipped, start.size() - skipped);
}

bool DumpReader::add_decoded(const char *bytes, size_t size)
{
    return encoding_ == Encoding::bytes ? add_text(bytes, size) : add_utf16(bytes, size);
}

bool DumpReader::add(const char *bytes, size_t size)
{
    size_ += size;
    if (size_ > max_dump_size)
        return fail(0, "larger than 64 MiB: not a CPUID dump");
    if (encoding_ == Encoding::undecided) {
        const size_t taken = std::min(size, file_mark_size - file_start_.size());
        file_start_.append(bytes, taken);
        bytes += taken;
        size -= taken;
        if (file_start_.size() < file_mark_size)
            return true;
        if (!decide_encoding())
            return false;
    }
    return add_decoded(bytes, size);
}

bool DumpReader::end_file()
{
    if (encoding_ == Encoding::undecided && !decide_encoding())
        return false;
    if (odd_byte_ >= 0)
        return fail(0, "UTF-16 text of odd length: the end of the file is missing");
    if (!partial_line_.empty()) {
        const std::string last_line = std::move(partial_line_);
        partial_line_.clear();
        partial_nul_allowed_ = false;
        if (!add_lines(last_line.data(), last_line.data() + last_line.size()))
            return false;
    }
    return true;
}

// Each file of a folder is one processor, records or none.
bool DumpReader::start_file(const std::string &name)
{
    if (files_ > 0 && !end_file())
        return false;
    ++files_;
    file_ = name;
    encoding_ = Encoding::undecided;
    line_number_ = 0;
    line_state_ = LineState{};
    for (Stream &stream : streams_)
        stream.open = false;
    begin_processor(streams_[stream_index(RecordStream::dump, 0)]);
    return true;
}

bool DumpReader::finish()
{
    if (!end_file())
        return false;
    file_.clear();
    if (!any_record_)
        return fail(0, size_ == 0 ? "empty file" : "no CPUID records: not a dump of " + form_names());
    if (cpu_ >= processors_)
        return fail(0, "no processor " + std::to_string(cpu_) + ": the dump holds " + processors_text(processors_));
    // A list of differences: its own records first (the first record of a
    // leaf wins), then the host's dump that it amends.
    const bool own_extended_leaf = extended_leaf_line_ != 0;
    for (const RecordedLeaf &leaf : amended_leaves_) {
        chosen_has_leaf_0_ = chosen_has_leaf_0_ || leaf.leaf == 0;
        leaves_.push_back(leaf);
    }
    for (ProcessorSummary &summary : summaries_)
        if (summary.amends != none) {
            const ProcessorSummary &host = summaries_[summary.amends];
            for (int i = 0; i < 8; ++i)
                if ((summary.recorded & (1u << i)) == 0 && (host.recorded & (1u << i)) != 0) {
                    summary.records[i] = host.records[i];
                    summary.recorded |= 1u << i;
                }
        }
    if (!chosen_has_leaf_0_)
        return fail(0, "no record of leaf 0");
    for (const RecordedLeaf &leaf : leaves_)
        if (leaf.leaf == 0x80000000u) { // the first record of the leaf wins
            if (leaf.eax > max_replayed_extended_leaf) {
                char value[16];
                std::snprintf(value, sizeof value, "%08x", static_cast<unsigned>(leaf.eax));
                file_ = own_extended_leaf ? extended_leaf_file_ : amended_extended_leaf_file_;
                return fail(own_extended_leaf ? extended_leaf_line_ : amended_extended_leaf_line_,
                            std::string("highest extended leaf ") + value + " lies above 8000ffff: not a real processor");
            }
            break;
        }
    return true;
}

bool parse_dump(const std::string &text, size_t cpu, std::vector<RecordedLeaf> &leaves, DumpError &error)
{
    DumpReader reader(cpu);
    const bool ok = reader.add(text.data(), text.size()) && reader.finish();
    leaves = reader.leaves();
    error = reader.error();
    return ok;
}

namespace {

// One pass in pieces: memory stays a piece and one processor's leaves,
// whatever the size, and endless input ends at the size bound.
bool read_pieces(std::FILE *file, DumpReader &reader, DumpError &error)
{
    static char piece[65536];
    bool added = true;
    size_t got;
    do {
        got = std::fread(piece, 1, sizeof piece, file);
        added = got == 0 || reader.add(piece, got);
    } while (added && got == sizeof piece);
    if (std::ferror(file) != 0) {
        error = DumpError{0, std::string("read error: ") + std::strerror(errno), {}};
        return false;
    }
    if (!added)
        error = reader.error();
    return added;
}

bool read_one_file(const std::string &path, DumpReader &reader, DumpError &error)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = DumpError{0, std::strerror(errno), {}};
        return false;
    }
    const bool read = read_pieces(file, reader, error);
    std::fclose(file);
    return read;
}

// hwloc-gather-cpuid's folder: pu0, pu1, ..., pu10, ..., one logical
// processor each, in the order of their numbers; its other files are not
// dumps.
bool read_pu_folder(const std::string &path, DumpReader &reader, DumpError &error)
{
    DIR *folder = opendir(path.c_str());
    if (folder == nullptr) {
        error = DumpError{0, std::strerror(errno), {}};
        return false;
    }
    // hwloc names them pu%u: a number with no leading zero.
    std::vector<unsigned long> pu_numbers;
    while (const struct dirent *entry = readdir(folder)) {
        const char *digits = entry->d_name + 2;
        const size_t length = std::strlen(digits);
        if (std::strncmp(entry->d_name, "pu", 2) == 0 && length > 0 && length <= 9 &&
            std::strspn(digits, "0123456789") == length && (digits[0] != '0' || length == 1))
            pu_numbers.push_back(std::strtoul(digits, nullptr, 10));
    }
    closedir(folder);
    if (pu_numbers.empty()) {
        error = DumpError{0, "a folder with no pu0, pu1, ... files of hwloc-gather-cpuid", {}};
        return false;
    }
    std::sort(pu_numbers.begin(), pu_numbers.end());
    for (unsigned long number : pu_numbers) {
        const std::string name = "pu" + std::to_string(number);
        if (!reader.start_file(name)) {
            error = reader.error();
            return false;
        }
        if (!read_one_file(path + "/" + name, reader, error))
            return false;
    }
    return true;
}

} // namespace

bool read_dump_file(const std::string &path, DumpReader &reader, DumpError &error)
{
    bool read;
    if (path == "-") {
        read = read_pieces(stdin, reader, error);
    } else {
        struct stat status {};
        if (stat(path.c_str(), &status) != 0) {
            error = DumpError{0, std::strerror(errno), {}};
            return false;
        }
        read = S_ISDIR(status.st_mode) ? read_pu_folder(path, reader, error) : read_one_file(path, reader, error);
    }
    if (read && !reader.finish()) {
        error = reader.error();
        return false;
    }
    return read;
}
