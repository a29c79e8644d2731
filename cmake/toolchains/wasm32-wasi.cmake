# WebAssembly under WASI (wasm32-wasi): x86ident-replay for the web page.
# Debian: clang-14, lld-14, wasi-libc, libc++-14-dev-wasm32,
# libc++abi-14-dev-wasm32, libclang-rt-14-dev-wasm32. CMake 3.25 knows no
# WASI platform: Generic, with the file suffix set here. The preset wasm adds
# the web page (X86IDENT_WEB).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)

# A sysroot of its own that holds only WASI's headers and libraries: with
# /usr as the sysroot, glibc's headers would be found too.
set(wasi_sysroot ${CMAKE_BINARY_DIR}/wasi-sysroot)
foreach(part include lib)
  if(NOT EXISTS /usr/${part}/wasm32-wasi)
    message(FATAL_ERROR "no /usr/${part}/wasm32-wasi: apt-get install wasi-libc libc++-14-dev-wasm32 "
                        "libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32 lld-14")
  endif()
  file(MAKE_DIRECTORY ${wasi_sysroot}/${part})
  file(CREATE_LINK /usr/${part}/wasm32-wasi ${wasi_sysroot}/${part}/wasm32-wasi SYMBOLIC)
endforeach()
set(CMAKE_SYSROOT ${wasi_sysroot})

# Debian's wasm C++ ABI library has no exception support: nothing throws.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--gc-sections -Wl,--strip-all")
# The reports print no floating-point number: printf without it is smaller.
set(CMAKE_CXX_STANDARD_LIBRARIES "-lc-printscan-no-floating-point")
