// libFuzzer target: the dump reader must accept or reject any bytes
// without crashing, and every leaf it accepts must come from a record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "replay/dump_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    for (std::size_t cpu = 0; cpu < 2; ++cpu) {
        std::vector<RecordedLeaf> leaves;
        DumpError error{};
        const bool accepted = parse_dump(text, cpu, leaves, error);
        if (accepted && (leaves.empty() || (cpu > 0 && leaves.front().leaf != 0)))
            std::abort(); // an accepted processor holds leaf 0, and a later one begins with it
        if (!accepted && error.message.empty())
            std::abort(); // every refusal says why
    }
    return 0;
}
