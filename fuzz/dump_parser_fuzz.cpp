// libFuzzer target: the dump reader must accept or reject any bytes
// without crashing, read them alike whole or in two pieces cut anywhere,
// and every leaf it accepts must come from a record.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "replay/dump_parser.h"

namespace {
bool same(const std::vector<RecordedLeaf> &a, const std::vector<RecordedLeaf> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].leaf != b[i].leaf || a[i].eax != b[i].eax || a[i].ebx != b[i].ebx || a[i].ecx != b[i].ecx ||
            a[i].edx != b[i].edx)
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::size_t cut = size == 0 ? 0 : data[0] % (size + 1);
    for (std::size_t cpu = 0; cpu < 2; ++cpu) {
        std::vector<RecordedLeaf> leaves;
        DumpError error{};
        const bool accepted = parse_dump(text, cpu, leaves, error);
        if (accepted && std::none_of(leaves.begin(), leaves.end(), [](const RecordedLeaf &leaf) { return leaf.leaf == 0; }))
            std::abort(); // an accepted processor holds leaf 0 (a VMware list of differences, its host's)
        if (!accepted && error.message.empty())
            std::abort(); // every refusal says why
        DumpReader pieces(cpu);
        const bool accepted_in_pieces =
            pieces.add(text.data(), cut) && pieces.add(text.data() + cut, size - cut) && pieces.finish();
        if (accepted_in_pieces != accepted || (accepted && !same(pieces.leaves(), leaves)) ||
            (!accepted && pieces.error().message != error.message))
            std::abort(); // where a piece ends changes nothing
    }
    return 0;
}
