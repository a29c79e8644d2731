// Linux (glibc and musl alike): the affinity mask, cut to its lowest bit.
#include "platform/processor_bind.h"

#include <sched.h>

namespace {

// Room for the most processors a kernel is built for (8192): a mask shorter
// than the kernel's own makes sched_getaffinity fail.
cpu_set_t allowed[8192 / (8 * sizeof(cpu_set_t))];

} // namespace

void bind_to_lowest_processor()
{
    const size_t size = sizeof allowed;
    // Kernels before 2.6 and seccomp filters refuse: then the run goes on unbound.
    if (sched_getaffinity(0, size, allowed) != 0)
        return;
    for (size_t cpu = 0; cpu < 8 * size; ++cpu)
        if (CPU_ISSET_S(cpu, size, allowed)) {
            CPU_ZERO_S(size, allowed);
            CPU_SET_S(cpu, size, allowed);
            sched_setaffinity(0, size, allowed);
            return;
        }
}
