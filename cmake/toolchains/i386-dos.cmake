# DOS: X86IDENT.COM, a .COM program for DOS 2.0 or later on any 386 or later
# processor. GCC's -m16 makes 386 code that runs in real mode (32-bit code
# with operand and address size prefixes); freestanding, with GCC's own
# headers alone and no C library, libgcc or compiler-rt: their i386 code is
# 32-bit code and would hang in a 16-bit program. The run time of its own,
# the linker script and the .COM image are in cmake/dos_program.cmake, which
# the preset dos selects (X86IDENT_DOS).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR i386)
set(CMAKE_CXX_COMPILER g++-12)
set(CMAKE_ASM_COMPILER gcc-12)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -m32 -print-file-name=include
                OUTPUT_VARIABLE gcc_include OUTPUT_STRIP_TRAILING_WHITESPACE)

# x86intrin.h brings in _mm_malloc, which needs a hosted <stdlib.h>; the
# program uses none of it. CPUID itself is a 486 instruction to the
# assembler: only its one source file is assembled for the 486.
set(CMAKE_CXX_FLAGS_INIT
    "-m16 -march=i386 -Wa,-march=i386 -ffreestanding -nostdinc -nostdinc++ -isystem ${gcc_include} \
-D_MM_MALLOC_H_INCLUDED -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-asynchronous-unwind-tables \
-fno-stack-protector -fcf-protection=none -fno-pie -mpreferred-stack-boundary=2")
set(CMAKE_ASM_FLAGS_INIT "-m16")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m16 -static -no-pie -nostdlib -nostartfiles -Wl,--gc-sections -Wl,--build-id=none -Wl,--no-warn-rwx-segments")
