# 32-bit x86 for every processor from the i486 on: x86ident alone, static,
# on musl (Debian: musl-dev:i386), with no instruction newer than the i486
# anywhere in the program. Debian's i386 glibc uses CMOV, long NOPs and SSE,
# and its start-up code trusts CPUID leaf 4; GCC's own 32-bit crtbegin and
# libgcc carry endbr32 and CMOV, so the program is linked by hand: musl's
# start files and libc, and the compiler-rt builtins (libclang-rt-dev) for
# 64-bit division. The code it links uses the C headers and no C++ run time,
# so the preset i486 builds x86ident alone (X86IDENT_PROGRAM_ONLY).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i486)
set(CMAKE_CXX_COMPILER g++-12)

set(musl_lib /usr/lib/i386-linux-musl)
set(musl_include /usr/include/i386-linux-musl)
if(NOT EXISTS ${musl_lib}/libc.a)
  message(FATAL_ERROR "the i486 build needs musl for i386: "
                      "dpkg --add-architecture i386 && apt-get update && apt-get install musl-dev:i386")
endif()
file(GLOB i386_builtins /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.builtins-i386.a)
if(NOT i386_builtins)
  message(FATAL_ERROR "the i486 build needs the compiler-rt builtins: apt-get install libclang-rt-dev")
endif()
list(GET i386_builtins -1 i386_builtins)
# GCC's own headers (<cpuid.h>, <x86intrin.h>), behind musl's.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -m32 -print-file-name=include
                OUTPUT_VARIABLE gcc_include OUTPUT_STRIP_TRAILING_WHITESPACE)

set(CMAKE_CXX_FLAGS_INIT
    "-m32 -march=i486 -Wa,-march=i486 -nostdinc -nostdinc++ -isystem ${musl_include} -isystem ${gcc_include} \
-fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-asynchronous-unwind-tables -fno-stack-protector \
-fcf-protection=none -fno-pie")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-m32 -static -no-pie -nostdlib -nostartfiles -Wl,--gc-sections -Wl,-z,noseparate-code -Wl,--build-id=none")
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> ${musl_lib}/crt1.o ${musl_lib}/crti.o \
<OBJECTS> -o <TARGET> <LINK_LIBRARIES> ${musl_lib}/libc.a ${i386_builtins} ${musl_lib}/crtn.o")
