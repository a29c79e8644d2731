#include "dos_calls.h"

// The program is one segment (a .COM file): DS already holds the segment
// of every pointer, and a pointer's value is its offset. Every register DOS
// may change is an output or a clobber, in its full 32 bits, since the
// compiled code keeps values in the upper halves.

namespace {
// DOS sets the carry flag on failure, with the error code in AX.
DosResult result(bool ok, const DosRegisters &registers)
{
    return {ok, static_cast<uint16_t>(registers.eax)};
}
} // namespace

bool dos_int21(DosRegisters &registers)
{
    bool carry;
    asm volatile("int $0x21"
                 : "+a"(registers.eax), "+b"(registers.ebx), "+c"(registers.ecx), "+d"(registers.edx),
                   "=@ccc"(carry)
                 :
                 : "esi", "edi", "memory");
    return !carry;
}

DosResult dos_write(uint16_t handle, const void *bytes, uint16_t length)
{
    DosRegisters registers{0x4000, handle, length, reinterpret_cast<uintptr_t>(bytes)};
    return result(dos_int21(registers), registers);
}

DosResult dos_read(uint16_t handle, void *bytes, uint16_t length)
{
    DosRegisters registers{0x3f00, handle, length, reinterpret_cast<uintptr_t>(bytes)};
    return result(dos_int21(registers), registers);
}

DosResult dos_open(const char *path)
{
    DosRegisters registers{0x3d02, 0, 0, reinterpret_cast<uintptr_t>(path)};
    return result(dos_int21(registers), registers);
}

DosResult dos_get_device_info(uint16_t handle)
{
    DosRegisters registers{0x4400, handle, 0, 0};
    const bool ok = dos_int21(registers);
    return {ok, static_cast<uint16_t>(ok ? registers.edx : registers.eax)};
}

DosResult dos_set_device_info(uint16_t handle, uint16_t info)
{
    // DH must be 0: DOS sets only the low byte of a device's word.
    DosRegisters registers{0x4401, handle, 0, info & 0xffu};
    return result(dos_int21(registers), registers);
}

bool dos_input_ready(uint16_t handle)
{
    DosRegisters registers{0x4406, handle, 0, 0};
    return dos_int21(registers) && (registers.eax & 0xff) == 0xff;
}

bool dos_ctrl_c()
{
    // A handler that begins with INT 20h ends the program, and DOSBox's does:
    // its INT 23h is the parent's program segment prefix, whose INT 20h would
    // end the parent there (DOSBox ends the program whose code segment made
    // the call). The program ends itself in its stead.
    uint32_t eax = 0x3523, ebx = 0, edx;
    asm volatile("pushw %%es\n\t"
                 "int $0x21\n\t"
                 "mov %%es, %%dx\n\t"
                 "pushw %%ds\n\t"
                 "mov %%dx, %%ds\n\t"
                 "movw (%%bx), %%ax\n\t"
                 "popw %%ds\n\t"
                 "popw %%es"
                 : "+a"(eax), "+b"(ebx), "=d"(edx)
                 :
                 : "ecx", "esi", "edi", "memory");
    if ((eax & 0xffff) == 0x20cd)
        return true;
    // A RETF leaves the flags that INT pushed on the stack: SP is put back.
    static uint16_t stack_before;
    bool carry;
    asm volatile("movw %%sp, %[before]\n\t"
                 "clc\n\t"
                 "int $0x23\n\t"
                 "movw %%cs:%[before], %%sp\n\t"
                 "movzwl %%sp, %%esp"
                 : "=@ccc"(carry), [before] "+m"(stack_before)
                 :
                 : "eax", "ebx", "ecx", "edx", "esi", "edi", "memory");
    return carry;
}

void dos_exit(uint8_t status)
{
    asm volatile("int $0x21" : : "a"(0x4c00u | status) : "memory");
    __builtin_unreachable();
}
