#include "leaf_walk.h"

void walk_leaves(std::uint32_t first, std::uint32_t last, void (*visit)(std::uint32_t leaf))
{
    if (last < first)
        return;
    for (std::uint32_t leaf = first;; ++leaf) {
        visit(leaf);
        if (leaf == last)
            return;
    }
}
