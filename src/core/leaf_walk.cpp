#include "leaf_walk.h"

void walk_leaves(uint32_t first, uint32_t last, void (*visit)(uint32_t leaf))
{
    if (last < first)
        return;
    for (uint32_t leaf = first;; ++leaf) {
        visit(leaf);
        if (leaf == last)
            return;
    }
}
