#include "line_source.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>

#include "replay/forms/forms.h"

namespace {

// Enough of a file's first bytes to tell a byte-order mark or an archive.
constexpr size_t file_mark_size = 6;
constexpr size_t piece_size = 65536;

bool begins_with(const std::string &bytes, const char *mark, size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), mark, length) == 0;
}

} // namespace

DumpBytes::~DumpBytes()
{
    if (file_ != nullptr && file_ != stdin)
        std::fclose(file_);
}

bool DumpBytes::fail(const std::string &message)
{
    error_ = DumpError{0, message, {}};
    return false;
}

// The path itself, or, for a folder, its pu files: pu0, pu1, ..., pu10, ...,
// in the order of their numbers (hwloc names them pu%u: no leading zero);
// its other files are not dumps.
bool DumpBytes::open_folder_or_file()
{
    struct stat status {};
    if (stat(path_.c_str(), &status) != 0)
        return fail(std::strerror(errno));
    if (S_ISDIR(status.st_mode)) {
        DIR *folder = opendir(path_.c_str());
        if (folder == nullptr)
            return fail(std::strerror(errno));
        while (const struct dirent *entry = readdir(folder)) {
            const char *digits = entry->d_name + 2;
            const size_t length = std::strlen(digits);
            if (std::strncmp(entry->d_name, "pu", 2) == 0 && length > 0 && length <= 9 &&
                std::strspn(digits, "0123456789") == length && (digits[0] != '0' || length == 1))
                pu_numbers_.push_back(std::strtoul(digits, nullptr, 10));
        }
        closedir(folder);
        if (pu_numbers_.empty())
            return fail("a folder with no pu0, pu1, ... files of hwloc-gather-cpuid");
        std::sort(pu_numbers_.begin(), pu_numbers_.end());
        return true;
    }
    file_ = std::fopen(path_.c_str(), "rb");
    return file_ != nullptr || fail(std::strerror(errno));
}

bool DumpBytes::next_file(std::string &name)
{
    name.clear();
    if (file_ != nullptr && file_ != stdin)
        std::fclose(file_);
    file_ = nullptr;
    at_end_ = false;
    const bool first = !started_;
    started_ = true;
    if (text_ != nullptr || path_ == "-") {
        file_ = text_ == nullptr ? stdin : nullptr;
        return first;
    }
    if (first && !open_folder_or_file())
        return false;
    if (pu_numbers_.empty())
        return first; // a lone file, opened above
    if (next_pu_ == pu_numbers_.size())
        return false;
    name = "pu" + std::to_string(pu_numbers_[next_pu_++]);
    file_ = std::fopen((path_ + "/" + name).c_str(), "rb");
    return file_ != nullptr || fail(std::strerror(errno));
}

bool DumpBytes::next_piece(const char *&data, size_t &size)
{
    if (text_ != nullptr) {
        if (pieces_given_ == 2)
            return false;
        const size_t from = pieces_given_ == 0 ? 0 : cut_, to = pieces_given_ == 0 ? cut_ : size_;
        ++pieces_given_;
        data = text_ + from;
        size = to - from;
        return true;
    }
    if (at_end_)
        return false;
    piece_.resize(piece_size);
    size = std::fread(piece_.data(), 1, piece_.size(), file_);
    if (std::ferror(file_) != 0)
        return fail(std::string("read error: ") + std::strerror(errno));
    at_end_ = size < piece_.size();
    data = piece_.data();
    return size > 0;
}

bool LineSource::fail(size_t line, const std::string &message)
{
    error_ = DumpError{line, message, file_};
    failed_ = true;
    return false;
}

bool LineSource::fail_on_nul(size_t line)
{
    return fail(line, encoding_ == Encoding::bytes ? "NUL byte: not a text dump" : "NUL character: not a text dump");
}

bool LineSource::refuses_nul(const char *begin, const char *end) const
{
    return !records_begun_ || forms_for_line_start(begin, end) != 0;
}

// UTF-16 as its code units: those up to U+00FF are their byte, as in the
// Latin-1 of other files; any other character (only ever outside records,
// as in "Xeon(TM)" headers) is '?', which neither makes nor breaks a record.
void LineSource::decode_utf16(const char *bytes, size_t size)
{
    for (size_t at = 0; at < size; ++at) {
        const unsigned byte = static_cast<unsigned char>(bytes[at]);
        if (odd_byte_ < 0) {
            odd_byte_ = static_cast<int>(byte);
            continue;
        }
        const unsigned unit = encoding_ == Encoding::utf16_le ? (byte << 8) | static_cast<unsigned>(odd_byte_)
                                                              : (static_cast<unsigned>(odd_byte_) << 8) | byte;
        odd_byte_ = -1;
        decoded_.push_back(unit <= 0xff ? static_cast<char>(unit) : '?');
    }
}

// A file's first bytes: a byte-order mark, or the mark of an archive that
// holds the dump (hwloc's folders travel as tarballs). The text then is the
// rest of them and of the piece.
bool LineSource::decide_encoding(const char *rest, size_t rest_size)
{
    const std::string start = std::move(file_start_);
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
    decoded_.clear();
    if (encoding_ == Encoding::bytes) {
        decoded_.append(start, skipped, std::string::npos);
        decoded_.append(rest, rest_size);
    } else {
        decode_utf16(start.data() + skipped, start.size() - skipped);
        decode_utf16(rest, rest_size);
    }
    take_text(decoded_.data(), decoded_.size());
    return true;
}

void LineSource::take_text(const char *text, size_t size)
{
    at_ = text;
    piece_end_ = text + size;
    piece_has_nul_ = std::memchr(text, '\0', size) != nullptr;
}

// Where the line at at_ ends in the piece (piece_end_: not in it): at an LF,
// or, in a file whose first line ends with CR alone, at a CR. Until the
// first line end tells which, at whichever comes first.
const char *LineSource::line_end_stop() const
{
    const size_t left = static_cast<size_t>(piece_end_ - at_);
    const void *lf = line_end_ == LineEnd::cr ? nullptr : std::memchr(at_, '\n', left);
    const void *cr = line_end_ == LineEnd::lf ? nullptr : std::memchr(at_, '\r', left);
    if (lf == nullptr && cr == nullptr)
        return piece_end_;
    if (lf == nullptr || cr == nullptr)
        return static_cast<const char *>(lf != nullptr ? lf : cr);
    return std::min(static_cast<const char *>(lf), static_cast<const char *>(cr));
}

// The next piece of the open file as text, in at_ to piece_end_ (perhaps
// none yet, while its first bytes are gathered). False at the file's end or
// on a fault.
bool LineSource::next_piece()
{
    const char *data = nullptr;
    size_t size = 0;
    if (!bytes_.next_piece(data, size)) {
        if (!bytes_.error().message.empty()) {
            error_ = bytes_.error();
            failed_ = true;
        }
        return false;
    }
    size_ += size;
    if (size_ > max_dump_size)
        return fail(0, "larger than 64 MiB: not a CPUID dump");
    if (encoding_ == Encoding::undecided) {
        const size_t taken = std::min(size, file_mark_size - file_start_.size());
        file_start_.append(data, taken);
        at_ = piece_end_ = nullptr;
        if (file_start_.size() < file_mark_size)
            return true;
        return decide_encoding(data + taken, size - taken);
    }
    if (encoding_ == Encoding::bytes) {
        take_text(data, size);
    } else {
        decoded_.clear();
        decode_utf16(data, size);
        take_text(decoded_.data(), decoded_.size());
    }
    return true;
}

bool LineSource::next(Line &line)
{
    // Most lines: whole in the piece, which holds no NUL byte, of a file of
    // LF (or CR LF) line ends.
    if (line_end_ == LineEnd::lf && at_ != piece_end_ && partial_.empty() && !piece_has_nul_ && !cr_pending_ &&
        !failed_) {
        if (const void *lf = std::memchr(at_, '\n', static_cast<size_t>(piece_end_ - at_))) {
            const char *const stop = static_cast<const char *>(lf);
            line = Line{at_, stop != at_ && stop[-1] == '\r' ? stop - 1 : stop, ++line_number_, false};
            at_ = stop + 1;
            return true;
        }
    }
    if (handed_partial_) { // the line handed out last was gathered from pieces
        partial_.clear();
        partial_nul_allowed_ = false;
        handed_partial_ = false;
    }
    for (;;) {
        if (failed_)
            return false;
        if (!file_open_) {
            if (!bytes_.next_file(file_)) {
                if (!bytes_.error().message.empty()) {
                    error_ = bytes_.error();
                    failed_ = true;
                }
                return false;
            }
            file_open_ = true;
            encoding_ = Encoding::undecided;
            odd_byte_ = -1;
            at_ = piece_end_ = nullptr;
            cr_pending_ = false;
            line_end_ = LineEnd::undecided;
            line_number_ = 0;
            if (!file_.empty()) {
                line = Line{nullptr, nullptr, 0, true};
                return true;
            }
            continue;
        }
        if (at_ == piece_end_) {
            if (next_piece())
                continue;
            if (failed_)
                return false;
            // The file's end: a short file's encoding, then its last line
            // if no line end ends it.
            if (encoding_ == Encoding::undecided) {
                if (!decide_encoding(nullptr, 0))
                    return false;
                continue;
            }
            if (odd_byte_ >= 0)
                return fail(0, "UTF-16 text of odd length: the end of the file is missing");
            file_open_ = false;
            if (!partial_.empty()) {
                const size_t size = partial_.size() - (partial_.back() == '\r' ? 1 : 0);
                line = Line{partial_.data(), partial_.data() + size, ++line_number_, false};
                handed_partial_ = true;
                return true;
            }
            continue;
        }
        if (cr_pending_) {
            // The last piece ended with CR: an LF next is its CR LF's.
            cr_pending_ = false;
            if (line_end_ == LineEnd::undecided)
                line_end_ = *at_ == '\n' ? LineEnd::lf : LineEnd::cr;
            if (*at_ == '\n') {
                ++at_;
                continue;
            }
        }
        const char *const stop = line_end_stop();
        const bool nul_here = piece_has_nul_ && !partial_nul_allowed_ &&
                              std::memchr(at_, '\0', static_cast<size_t>(stop - at_)) != nullptr;
        if (stop == piece_end_) {
            // The line goes on in the next piece. Once a NUL byte of it is
            // allowed, so is every later one.
            partial_.append(at_, piece_end_);
            at_ = piece_end_;
            if (nul_here) {
                if (refuses_nul(partial_.data(), partial_.data() + partial_.size()))
                    return fail_on_nul(line_number_ + 1);
                partial_nul_allowed_ = true;
            }
            continue;
        }
        const char *begin = at_, *end = stop;
        if (!partial_.empty()) {
            partial_.append(at_, stop);
            begin = partial_.data();
            end = begin + partial_.size();
            handed_partial_ = true;
        }
        // Past the line end: LF, CR LF, or CR (whose LF may begin the next piece).
        if (*stop == '\n') {
            at_ = stop + 1;
            line_end_ = LineEnd::lf; // as it was, or as this first line end tells
            if (end != begin && end[-1] == '\r')
                --end; // CR LF
        } else if (stop + 1 == piece_end_) {
            at_ = piece_end_;
            cr_pending_ = true;
        } else {
            at_ = stop + (stop[1] == '\n' ? 2 : 1);
            if (line_end_ == LineEnd::undecided)
                line_end_ = stop[1] == '\n' ? LineEnd::lf : LineEnd::cr;
        }
        ++line_number_;
        if (nul_here && refuses_nul(begin, end))
            return fail_on_nul(line_number_);
        line = Line{begin, end, line_number_, false};
        return true;
    }
}
