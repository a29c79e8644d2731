#ifndef X86IDENT_LEAF_WALK_H
#define X86IDENT_LEAF_WALK_H

#include <stdint.h>

// Calls `visit` for every leaf from `first` up to and including `last`, in
// ascending order; nothing when last < first. A walk up to 0xFFFFFFFF ends
// after that leaf instead of wrapping round to 0.
void walk_leaves(uint32_t first, uint32_t last, void (*visit)(uint32_t leaf));

#endif
