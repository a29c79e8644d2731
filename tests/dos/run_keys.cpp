// RUNKEYS.COM KEYS PROGRAM: presses KEYS on the console for PROGRAM, by
// putting them into the BIOS keyboard buffer (it holds 15) before running
// it, and keeps what DOSBox's shell cannot show: PROGRAM's standard error
// goes to ERR.TXT, and RC.TXT gets "exit N, K keys left". Keys: s Space,
// u up arrow (00h and a scan code), c Ctrl-C, - none.
#include <stdint.h>

#include "platform/dos/dos_calls.h"

namespace {

struct [[gnu::packed]] ExecBlock {
    uint16_t environment; // 0: a copy of this program's
    uint16_t tail_offset, tail_segment;
    uint16_t fcb1_offset, fcb1_segment;
    uint16_t fcb2_offset, fcb2_segment;
};

uint16_t saved_sp; // DOS 2 keeps no register across EXEC

uint16_t code_segment()
{
    uint16_t segment;
    asm("mov %%cs, %0" : "=r"(segment));
    return segment;
}

// The DOS functions the helper needs and the program does not.
bool dos_call(uint32_t eax, uint32_t ebx, uint32_t ecx, uint32_t edx, uint16_t &ax)
{
    DosRegisters registers{eax, ebx, ecx, edx};
    const bool ok = dos_int21(registers);
    ax = static_cast<uint16_t>(registers.eax);
    return ok;
}

bool press(uint16_t scan_and_character)
{
    uint32_t eax = 0x0500, ecx = scan_and_character;
    asm volatile("int $0x16" : "+a"(eax), "+c"(ecx) : : "ebx", "edx", "esi", "edi", "cc");
    return (eax & 0xff) == 0;
}

unsigned take_keys_left()
{
    unsigned count = 0;
    for (;;) {
        uint32_t eax = 0x0100;
        bool none;
        asm volatile("int $0x16" : "+a"(eax), "=@ccz"(none) : : "ebx", "ecx", "edx", "esi", "edi");
        if (none)
            return count;
        eax = 0;
        asm volatile("int $0x16" : "+a"(eax) : : "ebx", "ecx", "edx", "esi", "edi", "cc");
        ++count;
    }
}

int run(const char *program)
{
    uint16_t ax;
    const uint16_t segment = code_segment();
    // A .COM program owns all memory: keep its 64 KB for itself, give the rest.
    asm volatile("mov %0, %%es" : : "r"(segment));
    if (!dos_call(0x4a00, 0x1000, 0, 0, ax))
        return -1;
    static char tail[2] = {0, '\r'};
    static ExecBlock block;
    block = {0, static_cast<uint16_t>(reinterpret_cast<uintptr_t>(tail)), segment, 0x5c, segment, 0x6c, segment};
    uint32_t eax = 0x4b00, ebx = reinterpret_cast<uintptr_t>(&block), edx = reinterpret_cast<uintptr_t>(program);
    bool carry;
    asm volatile("push %%ebp\n\t"
                 "movw %%sp, %%cs:%[saved]\n\t"
                 "int $0x21\n\t"
                 "mov %%cs, %%bp\n\t"
                 "mov %%bp, %%ds\n\t"
                 "mov %%bp, %%es\n\t"
                 "mov %%bp, %%ss\n\t"
                 "movw %%cs:%[saved], %%sp\n\t"
                 "movzwl %%sp, %%esp\n\t"
                 "pop %%ebp"
                 : "+a"(eax), "+b"(ebx), "+d"(edx), "=@ccc"(carry), [saved] "=m"(saved_sp)
                 :
                 : "ecx", "esi", "edi", "memory");
    if (carry)
        return -1;
    dos_call(0x4d00, 0, 0, 0, ax);
    return ax & 0xff;
}

uint16_t create(const char *name)
{
    uint16_t handle;
    return dos_call(0x3c00, 0, 0, reinterpret_cast<uintptr_t>(name), handle) ? handle : 0;
}

void write_text(uint16_t handle, const char *text)
{
    uint16_t length = 0;
    while (text[length] != '\0')
        ++length;
    dos_write(handle, text, length);
}

void write_number(uint16_t handle, int value)
{
    char digits[8];
    int length = 0;
    if (value < 0) {
        write_text(handle, "-");
        value = -value;
    }
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (length > 0)
        dos_write(handle, &digits[--length], 1);
}

} // namespace

int main()
{
    // The command tail in the program segment prefix: its length at 80h,
    // its text from 81h. (Hidden from the compiler, which takes a constant
    // address for a null pointer's neighbour.)
    unsigned char *prefix;
    asm("" : "=r"(prefix) : "0"(uintptr_t{0x80}));
    char *tail = reinterpret_cast<char *>(prefix + 1);
    tail[prefix[0]] = '\0';
    while (*tail == ' ')
        ++tail;
    const char *keys = tail;
    while (*tail != ' ' && *tail != '\0')
        ++tail;
    if (*tail != '\0')
        *tail++ = '\0';
    while (*tail == ' ')
        ++tail;
    const char *program = tail;

    for (const char *key = keys; *key != '\0'; ++key) {
        const uint16_t code = *key == 's' ? 0x3920 : *key == 'u' ? 0x4800 : *key == 'c' ? 0x2e03 : 0;
        if (code != 0 && !press(code))
            return 2;
    }
    const uint16_t errors = create("ERR.TXT");
    uint16_t ignored;
    if (errors == 0 || !dos_call(0x4600, errors, dos_standard_error, 0, ignored))
        return 2;
    const int status = run(program);
    const unsigned left = take_keys_left();
    const uint16_t result = create("RC.TXT");
    write_text(result, "exit ");
    write_number(result, status);
    write_text(result, ", ");
    write_number(result, static_cast<int>(left));
    write_text(result, " keys left\r\n");
    return 0;
}
