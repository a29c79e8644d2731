// libFuzzer target: the dump reader must accept or reject any bytes
// without crashing, every leaf it accepts must come from a record, and the
// line source must give the same lines, whole or in two pieces cut anywhere.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "replay/dump_parser.h"

namespace {

// Every line as "N:text", then the fault that ends them, if any. The first
// record is taken as found after line 2, so that both NUL rules are met.
std::string lines_of(const std::string &text, std::size_t cut)
{
    DumpBytes bytes(text.data(), text.size(), cut);
    LineSource lines(bytes);
    std::string all;
    Line line;
    while (lines.next(line)) {
        all += std::to_string(line.number) + (line.begins_file ? "<file>" : ":") + std::string(line.begin, line.end) + '\n';
        if (line.number == 2)
            lines.records_begun();
    }
    if (lines.failed())
        all += "error " + std::to_string(lines.error().line) + ": " + lines.error().message;
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    if (lines_of(text, cut) != lines_of(text, size))
        std::abort(); // where a piece ends changes nothing
    for (std::size_t cpu = 0; cpu < 2; ++cpu) {
        std::vector<RecordedLeaf> leaves;
        DumpError error{};
        const bool accepted = parse_dump(text, cpu, leaves, error);
        if (accepted && std::none_of(leaves.begin(), leaves.end(), [](const RecordedLeaf &leaf) { return leaf.leaf == 0; }))
            std::abort(); // an accepted processor holds leaf 0 (a VMware list of differences, its host's)
        if (!accepted && error.message.empty())
            std::abort(); // every refusal says why
    }
    return 0;
}
