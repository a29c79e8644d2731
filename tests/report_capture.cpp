#include "report_capture.h"

#include <algorithm>
#include <cstring>

#include "string_output.h"
#include "report/report_driver.h"
#include "core/wait_for_key.h"

std::uint32_t register_text(const char *text)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < std::strlen(text); ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    return value;
}

namespace {

template <typename Run>
Capture capture(const Leaves &leaves, Run run, const std::function<void(std::uint32_t)> &meddle = {})
{
    Capture result;
    cpuid_use_recording(leaves.data(), leaves.size());
    cpuid_after_query([&result, &meddle](std::uint32_t leaf) {
        result.queries.push_back(leaf);
        if (meddle)
            meddle(leaf);
    });
    capture_output(&result.output);
    set_pause_mode(PauseMode::mark);
    run();
    set_pause_mode(PauseMode::none);
    capture_output(nullptr);
    cpuid_after_query(nullptr);
    return result;
}

} // namespace

Capture capture_report(const Leaves &leaves)
{
    return capture(leaves, [] { run_report(); });
}

Capture capture_vendor_report(void (*report)(std::int32_t), std::int32_t max_level, const Leaves &leaves,
                              const std::function<void(std::uint32_t leaf)> &meddle)
{
    return capture(leaves, [&] { report(max_level); }, meddle);
}

int count_queries(const Capture &capture, std::uint32_t leaf)
{
    return static_cast<int>(std::count(capture.queries.begin(), capture.queries.end(), leaf));
}
