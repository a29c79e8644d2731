// Runs report code against a recorded processor and captures, in order,
// every byte it prints and every pause it makes (as a form feed).
#ifndef X86IDENT_TESTS_REPORT_CAPTURE_H
#define X86IDENT_TESTS_REPORT_CAPTURE_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "recorded/cpuid_recorded.h"

using Leaves = std::vector<RecordedLeaf>;

// Bytes that spell `text` (up to 4 characters) as one register, low byte first.
std::uint32_t register_text(const char *text);

struct Capture {
    std::string output;                // form feed where a pause falls
    std::vector<std::uint32_t> queries; // leaves queried, in order
};

// The whole program's report (driver and vendor report).
Capture capture_report(const Leaves &leaves);

// One vendor report, called with `max_level` as the driver would. `meddle`,
// when given, runs after every query and may change CpuidResult.
Capture capture_vendor_report(void (*report)(std::int32_t), std::int32_t max_level, const Leaves &leaves,
                              const std::function<void(std::uint32_t leaf)> &meddle = {});

// How many times `leaf` was queried.
int count_queries(const Capture &capture, std::uint32_t leaf);

#endif
