// Windows: the lowest processor of the process's affinity, within its
// processor group. A machine of more than 64 logical processors has several
// groups; a process whose threads sit in more than one has no single mask,
// and then the thread's own group decides. The group calls are looked up
// when needed, so that the program still starts on Windows before 7.
#include "platform/processor_bind.h"

#include <windows.h>

namespace {

typedef BOOL(WINAPI *GroupAffinityCall)(HANDLE, GROUP_AFFINITY *);
typedef BOOL(WINAPI *SetGroupAffinityCall)(HANDLE, const GROUP_AFFINITY *, GROUP_AFFINITY *);

template <typename Call> Call kernel_call(const char *name)
{
    // Through a plain function pointer: FARPROC has another signature.
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

} // namespace

void bind_to_lowest_processor()
{
    DWORD_PTR process_mask = 0, system_mask = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask) && process_mask != 0) {
        SetThreadAffinityMask(GetCurrentThread(), process_mask & (~process_mask + 1));
        return;
    }
    const auto get_group = kernel_call<GroupAffinityCall>("GetThreadGroupAffinity");
    const auto set_group = kernel_call<SetGroupAffinityCall>("SetThreadGroupAffinity");
    GROUP_AFFINITY group{};
    if (get_group != nullptr && set_group != nullptr && get_group(GetCurrentThread(), &group) && group.Mask != 0) {
        group.Mask &= ~group.Mask + 1;
        set_group(GetCurrentThread(), &group, nullptr);
    }
}
