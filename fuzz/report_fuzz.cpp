// libFuzzer target: the whole report over arbitrary recorded processors.
// The input is read as a dump; the highest standard and extended leaves are
// kept within a few hundred leaves so that every input ends quickly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "recorded/cpuid_recorded.h"
#include "../tests/string_output.h"
#include "report/report_driver.h"
#include "core/wait_for_key.h"
#include "replay/dump_parser.h"

namespace {
constexpr std::uint32_t leaf_span = 300;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<RecordedLeaf> leaves;
    DumpError error{};
    if (!parse_dump(text, 0, leaves, error))
        return 0;
    for (RecordedLeaf &leaf : leaves) {
        if (leaf.leaf == 0)
            leaf.eax = (leaf.eax & 0xffff0000u) | ((leaf.eax & 0xffffu) % leaf_span);
        if (leaf.leaf == 0x80000000u && leaf.eax > 0x80000000u + leaf_span)
            leaf.eax = 0x80000000u + (leaf.eax % leaf_span);
    }
    cpuid_use_recording(leaves.data(), leaves.size());
    std::string output;
    capture_output(&output);
    set_pause_mode(PauseMode::mark);
    run_report();
    capture_output(nullptr);
    return 0;
}
