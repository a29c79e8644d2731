#include "dump_parser.h"

#include <cstdio>
#include <iterator>
#include <utility>

#include "replay/forms/forms.h"

namespace {

std::string processors_text(size_t count)
{
    return std::to_string(count) + (count == 1 ? " processor" : " processors");
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

bool is_listed(uint32_t leaf)
{
    for (uint32_t listed : listed_leaves)
        if (leaf == listed)
            return true;
    return false;
}

} // namespace

const RecordedLeaf *Processor::leaf(uint32_t number) const
{
    for (const RecordedLeaf &record : leaves)
        if (record.leaf == number)
            return &record;
    return nullptr;
}

bool DumpReader::fail(size_t line, std::string message, std::string file)
{
    error_ = DumpError{line, std::move(message), std::move(file)};
    return false;
}

bool DumpReader::read(LineSource &lines)
{
    Line line;
    std::string problem;
    DumpRecord record;
    size_t form;
    while (lines.next(line)) {
        if (line.begins_file) {
            // Each file of a folder is one processor, records or none.
            form_state_ = FormState{};
            for (Stream &stream : streams_)
                stream.open = false;
            begin_processor(stream_of(RecordStream::dump, 0, {}));
            continue;
        }
        form_state_.line = line.number;
        LineKind kind = read_dump_line(line.begin, line.end, record, problem, form_state_, form);
        for (;;) {
            if (kind == LineKind::malformed)
                return fail(line.number, "malformed CPUID record: " + problem, lines.file());
            if (kind == LineKind::record)
                lines.records_begun();
            if (kind == LineKind::record || kind == LineKind::heading)
                take(kind, record, line.number, lines.file());
            if (form_state_.again == nullptr)
                break; // most lines: one record, or none
            const char *again = std::exchange(form_state_.again, nullptr);
            kind = read_form_line(form, again, line.end, record, problem, form_state_);
        }
    }
    if (lines.failed()) {
        error_ = lines.error();
        return false;
    }
    return finish(lines.size());
}

void DumpReader::take(LineKind kind, const DumpRecord &record, size_t line, const std::string &file)
{
    if (kind == LineKind::heading) {
        // Its stream's next record begins a processor: a heading without records makes none.
        stream_of(record.stream, record.stream_number, record.label).open = false;
        return;
    }
    if (kind != LineKind::record)
        return;
    // The record joins its processor, which keeps it if it keeps that leaf.
    const size_t number = processor_for(record);
    if (entry_of_[number] == not_kept)
        return;
    Processor &processor = processors_[entry_of_[number]];
    const bool whole = number == cpu_ || processor.stream == RecordStream::vmware_host;
    if (!whole && !(listing_ && is_listed(record.leaf.leaf)))
        return;
    if (!record.leaf_0_splits && processor.leaf(record.leaf.leaf) != nullptr)
        return; // a dump repeated: its first record of a leaf wins, and the repeats are not kept
    if (record.leaf.leaf == 0x80000000u && processor.extended_leaf_line == 0) {
        processor.extended_leaf_line = line;
        processor.extended_leaf_file = file;
    }
    processor.leaves.push_back(record.leaf);
}

DumpReader::Stream &DumpReader::stream_of(RecordStream kind, uint32_t number, std::string_view label)
{
    const auto is = [&](const Stream &stream) {
        return stream.kind == kind && stream.number == number && (kind != RecordStream::named || stream.label == label);
    };
    if (last_stream_ < streams_.size() && is(streams_[last_stream_]))
        return streams_[last_stream_]; // most records are of the stream of the record before
    for (last_stream_ = 0; last_stream_ < streams_.size(); ++last_stream_)
        if (is(streams_[last_stream_]))
            return streams_[last_stream_];
    streams_.push_back(Stream{kind, number, std::string(label)});
    if (kind == RecordStream::vmware_host)
        host_stream_ = last_stream_;
    return streams_.back();
}

size_t DumpReader::new_processor(const Stream &stream, size_t amends)
{
    const size_t number = entry_of_.size();
    if (!listing_ && number != cpu_ && stream.kind != RecordStream::vmware_host) {
        entry_of_.push_back(not_kept);
        return number;
    }
    entry_of_.push_back(static_cast<uint32_t>(processors_.size()));
    Processor &processor = processors_.emplace_back();
    processor.stream = stream.kind;
    processor.stream_number = stream.number;
    processor.label = stream.label;
    processor.amends = amends;
    return number;
}

// The stream's next processor, from now on.
void DumpReader::begin_processor(Stream &stream)
{
    stream.processor = new_processor(stream, none);
    stream.open = true;
    stream.has_leaf_0 = false;
    stream.began_at = records_;
}

// The processor of a record: its stream's current one, a further one at a
// second record of leaf 0 (in a stream that a leaf 0 splits), or, for
// VMware's guest and CPUID[N] lines that came after the host's dump began
// with no leaf 0 of their own since, the one that their stream's records
// make of the host's dump.
size_t DumpReader::processor_for(const DumpRecord &record)
{
    ++records_;
    Stream &stream = stream_of(record.stream, record.stream_number, record.label);
    const bool amending_kind =
        record.stream == RecordStream::vmware_guest || record.stream == RecordStream::vmware_processor;
    if (amending_kind && record.leaf.leaf != 0 && host_stream_ != none && streams_[host_stream_].open &&
        stream.last_leaf_0_at < streams_[host_stream_].began_at) {
        const size_t host = streams_[host_stream_].processor;
        if (stream.amended_host != host) {
            stream.amended_host = host;
            stream.amendment = new_processor(stream, host);
        }
        return stream.amendment;
    }
    if (!stream.open || (record.leaf.leaf == 0 && stream.has_leaf_0 && record.leaf_0_splits))
        begin_processor(stream);
    if (record.leaf.leaf == 0) {
        stream.has_leaf_0 = true;
        stream.last_leaf_0_at = records_;
    }
    return stream.processor;
}

bool DumpReader::finish(size_t bytes_read)
{
    if (records_ == 0)
        return fail(0, bytes_read == 0 ? "empty file" : "no CPUID records: not a dump of " + form_names());
    if (cpu_ >= entry_of_.size())
        return fail(0, "no processor " + std::to_string(cpu_) + ": the dump holds " + processors_text(entry_of_.size()));
    // A list of differences, in one step: its own records, then those of the
    // host's dump that it amends (a host's dump is always kept).
    for (Processor &processor : processors_) {
        if (processor.amends == none)
            continue;
        const Processor &host = processors_[entry_of_[processor.amends]];
        processor.leaves.insert(processor.leaves.end(), host.leaves.begin(), host.leaves.end());
        if (processor.extended_leaf_line == 0) {
            processor.extended_leaf_line = host.extended_leaf_line;
            processor.extended_leaf_file = host.extended_leaf_file;
        }
    }
    if (listing_)
        return true; // every processor is listed, those without a leaf 0 too
    const Processor &chosen = processors_[entry_of_[cpu_]];
    if (chosen.leaf(0) == nullptr)
        return fail(0, "no record of leaf 0");
    const RecordedLeaf *extended = chosen.leaf(0x80000000u);
    if (extended != nullptr && extended->eax > max_replayed_extended_leaf) {
        char value[16];
        std::snprintf(value, sizeof value, "%08x", static_cast<unsigned>(extended->eax));
        return fail(chosen.extended_leaf_line, std::string("highest extended leaf ") + value +
                                                   " lies above 8000ffff: not a real processor",
                    chosen.extended_leaf_file);
    }
    return true;
}

bool parse_dump(const std::string &text, size_t cpu, std::vector<RecordedLeaf> &leaves, DumpError &error, size_t cut)
{
    DumpBytes bytes(text.data(), text.size(), std::min(cut, text.size()));
    LineSource lines(bytes);
    DumpReader reader(cpu);
    const bool ok = reader.read(lines);
    leaves = ok ? reader.leaves() : std::vector<RecordedLeaf>{};
    error = reader.error();
    return ok;
}

bool read_dump_file(const std::string &path, DumpReader &reader, DumpError &error)
{
    DumpBytes bytes(path);
    LineSource lines(bytes);
    if (reader.read(lines))
        return true;
    error = reader.error();
    return false;
}
