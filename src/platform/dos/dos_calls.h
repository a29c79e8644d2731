// The DOS services x86ident uses, each one INT 21h function (or INT 23h).
// The only interface DOS has is the interrupt, so these few wrappers are
// the one place of inline assembly in the program.
#ifndef X86IDENT_DOS_CALLS_H
#define X86IDENT_DOS_CALLS_H

#include <stdint.h>

// What a DOS function left: on success (carry clear) `value` is its AX (a
// byte count, a handle, device information in DX for IOCTL); on failure
// `value` is the DOS error code.
struct DosResult {
    bool ok;
    uint16_t value;
};

// The registers of an INT 21h call, in their full 32 bits: DOS may change
// any of them, and the compiled code keeps values in the upper halves.
struct DosRegisters {
    uint32_t eax, ebx, ecx, edx;
};

// INT 21h with `registers` in, and what DOS left in them out (and every
// other register DOS may change clobbered). False when DOS set carry.
bool dos_int21(DosRegisters &registers);

constexpr uint16_t dos_standard_output = 1;
constexpr uint16_t dos_standard_error = 2;

// Function 40h: writes `length` bytes to `handle`; a count below `length`
// is a full disk.
DosResult dos_write(uint16_t handle, const void *bytes, uint16_t length);

// Function 3Fh: reads up to `length` bytes; 0 is the end of the file.
DosResult dos_read(uint16_t handle, void *bytes, uint16_t length);

// Function 3Dh, read and write access: the handle of an open file or device.
DosResult dos_open(const char *path);

// IOCTL 4400h and 4401h: a handle's device information word (bit 7: a
// device; bit 5: raw mode for a character device).
DosResult dos_get_device_info(uint16_t handle);
DosResult dos_set_device_info(uint16_t handle, uint16_t info);

// IOCTL 4406h: whether a read from `handle` would return at once.
bool dos_input_ready(uint16_t handle);

// INT 23h, the Ctrl-C handler, called as DOS calls it on Ctrl-C. True when
// it asks for the program to end (it returned by RETF with carry set); an
// IRET, or carry clear, means go on as if no key had been pressed. A handler
// may also end the program itself and not return.
bool dos_ctrl_c();

// Function 4Ch: ends the program with `status`.
[[noreturn]] void dos_exit(uint8_t status);

#endif
