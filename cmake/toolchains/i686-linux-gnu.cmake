# 32-bit x86 Linux with the host's multilib GCC (Debian: g++-12-multilib).
# i686 code without SSE, so the programs also run on Pentium II class
# processors (and under qemu-i386 -cpu pentium2). The preset builds GoogleTest
# from its sources (X86IDENT_GTEST_FROM_SOURCE).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc-12)
set(CMAKE_CXX_COMPILER g++-12)
set(CMAKE_C_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_CXX_FLAGS_INIT "-m32 -march=i686")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")

# The Linux kernel's x86 headers serve both word sizes. Debian's gcc-multilib
# package links them as /usr/include/asm, but it cannot be installed beside
# the aarch64 cross compiler; a private link does the same.
set(multilib_include ${CMAKE_BINARY_DIR}/multilib-include)
if(NOT EXISTS ${multilib_include}/asm AND EXISTS /usr/include/x86_64-linux-gnu/asm)
  file(MAKE_DIRECTORY ${multilib_include})
  file(CREATE_LINK /usr/include/x86_64-linux-gnu/asm ${multilib_include}/asm SYMBOLIC)
endif()
string(APPEND CMAKE_C_FLAGS_INIT " -idirafter ${multilib_include}")
string(APPEND CMAKE_CXX_FLAGS_INIT " -idirafter ${multilib_include}")
