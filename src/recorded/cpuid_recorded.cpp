#include "cpuid_recorded.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/cpuid.h"

CpuidRegisters CpuidResult;

namespace {

// Sorted by leaf, one entry per leaf, so a query is a binary search.
std::vector<RecordedLeaf> recording;
std::function<void(std::uint32_t)> after_query;

bool leaf_less(const RecordedLeaf &entry, std::uint32_t leaf)
{
    return entry.leaf < leaf;
}

} // namespace

void cpuid_use_recording(const RecordedLeaf *leaves, std::size_t count)
{
    recording.assign(leaves, leaves + count);
    // A stable sort keeps the first entry of each leaf in front, and unique
    // keeps the front one.
    std::stable_sort(recording.begin(), recording.end(),
                     [](const RecordedLeaf &a, const RecordedLeaf &b) { return a.leaf < b.leaf; });
    recording.erase(std::unique(recording.begin(), recording.end(),
                                [](const RecordedLeaf &a, const RecordedLeaf &b) { return a.leaf == b.leaf; }),
                    recording.end());
}

void cpuid_after_query(std::function<void(std::uint32_t leaf)> hook)
{
    after_query = std::move(hook);
}

void cpuid_query(std::uint32_t leaf)
{
    auto found = std::lower_bound(recording.begin(), recording.end(), leaf, leaf_less);
    if (found != recording.end() && found->leaf == leaf)
        CpuidResult = CpuidRegisters{found->eax, found->ebx, found->ecx, found->edx};
    else
        CpuidResult = CpuidRegisters{0, 0, 0, 0};
    if (after_query)
        after_query(leaf);
}
