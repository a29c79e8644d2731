// Which logical processor x86ident reads. CPUID answers for the processor
// that executes it, and the leaves differ between processors (the initial
// APIC ID; on a hybrid part the cache descriptors and the core type), while
// the scheduler may move a process between two instructions, above all
// across a key pause. Bound before its first query, a run reads one
// processor from its dump to its last line.
#ifndef X86IDENT_PROCESSOR_BIND_H
#define X86IDENT_PROCESSOR_BIND_H

// Restricts the program to the lowest-numbered logical processor that it
// was started on (so `taskset -c 5 x86ident` reads processor 5). Tells the
// program nothing about the processor; where the system refuses, or has no
// such choice, the run goes on as it is, without a word. One back end per
// platform, chosen at link time (cmake/platform.cmake): linux/, windows/,
// none/ (DOS, the browser, builds without the real instruction).
void bind_to_lowest_processor();

#endif
