# Start-up of X86IDENT.COM. DOS loads the file at offset 100h of one
# segment, with CS = DS = ES = SS and SP at the top of the memory it gave.
# The compiled program is 386 code, so the processor is told apart first,
# with 8086 instructions only: an 8086, 8088, 80186, NEC V20/V30 or 286
# cannot run 386 code, and none of them has CPUID either.

    .code16
    .arch i8086
    .section .dos_start, "ax"
    .globl _start
_start:
    cld
    # FLAGS bits 12 to 15 read as set on the 8086 class whatever is written.
    pushf
    pop %cx                     # FLAGS as DOS gave them
    mov %cx, %ax
    and $0x0fff, %ax
    push %ax
    popf
    pushf
    pop %ax
    and $0xf000, %ax
    cmp $0xf000, %ax
    je no_cpuid
    # On a 286 in real mode they read as clear whatever is written; a 386
    # or later keeps IOPL and NT (bits 12 to 14).
    mov %cx, %ax
    or $0xf000, %ax
    push %ax
    popf
    pushf
    pop %ax
    push %cx
    popf
    test $0xf000, %ax
    jnz dos_start_386
    .globl dos_start_286
dos_start_286:
    # In virtual-8086 mode (EMM386, a DOS box of Windows) POPF may leave
    # IOPL alone, so clear bits prove nothing there. The PE bit of the
    # machine status word does: no 286 runs DOS programs in protected mode.
    .arch i286
    smsw %ax
    test $1, %al
    jz no_cpuid

    .arch i386
    .globl dos_start_386
dos_start_386:
    # The compiled code addresses its stack through all of ESP.
    movzwl %sp, %esp
    # With little memory DOS puts SP lower: the stack must not reach the bss.
    cmp $__stack_floor, %sp
    jb no_memory
    mov $__bss_start, %di
    mov $__bss_end, %cx
    sub %di, %cx
    xor %al, %al
    rep stosb
    calll main
    mov $0x4c, %ah              # exit with main's result (AL)
    int $0x21

no_memory:
    mov $no_memory_message, %dx
    mov $no_memory_length, %cx
    jmp fail

    .arch i8086
no_cpuid:
    mov $no_cpuid_message, %dx
    mov $no_cpuid_length, %cx
fail:
    mov $0x40, %ah              # write to standard error
    mov $2, %bx
    int $0x21
    mov $0x4c01, %ax            # exit with status 1
    int $0x21

    .section .rodata
no_cpuid_message:
    .ascii "x86ident: this processor has no CPUID instruction\r\n"
    .set no_cpuid_length, . - no_cpuid_message
no_memory_message:
    .ascii "x86ident: not enough memory\r\n"
    .set no_memory_length, . - no_memory_message

    # The image is one segment, code and data alike: no stack note applies.
    .section .note.GNU-stack, "", @progbits
