# Where this build's 32-bit programs run: test discovery, the tests and the
# programs they start. A kernel built without IA32 emulation, or booted with
# ia32_emulation=0, refuses them with "Exec format error"; there they run
# under qemu-i386. A static probe program answers once, its answer cached: a
# static one, so that a missing 32-bit loader cannot pass for the kernel's no.
# A cross build's try_run runs nothing, hence execute_process. X86IDENT_FORCE_QEMU_I386
# (CMakeLists.txt) takes qemu-i386 where the kernel would run them itself.

if(NOT DEFINED X86IDENT_KERNEL_RUNS_I386)
  set(probe_dir ${CMAKE_BINARY_DIR}/i386-probe)
  file(WRITE ${probe_dir}/probe.cpp "int main() { return 0; }\n")
  try_compile(probe_built ${probe_dir}/build ${probe_dir}/probe.cpp LINK_OPTIONS -static
              COPY_FILE ${probe_dir}/probe OUTPUT_VARIABLE probe_log)
  if(NOT probe_built)
    message(FATAL_ERROR "x86ident: cannot build a static 32-bit program:\n${probe_log}")
  endif()
  # Through bash's exec: execute_process's execvp hands a program that the
  # kernel refuses to /bin/sh as a script, and bash says why instead.
  execute_process(COMMAND bash -c "exec \"$0\"" ${probe_dir}/probe RESULT_VARIABLE probe_result
                  ERROR_VARIABLE probe_error)
  if(probe_result STREQUAL "0")
    set(runs TRUE)
  elseif(probe_error MATCHES "Exec format error")
    set(runs FALSE)
  else()
    message(FATAL_ERROR "x86ident: a static 32-bit program failed here: ${probe_result} ${probe_error}")
  endif()
  set(X86IDENT_KERNEL_RUNS_I386 ${runs} CACHE INTERNAL "This kernel runs 32-bit x86 programs")
endif()

if(X86IDENT_FORCE_QEMU_I386 OR NOT X86IDENT_KERNEL_RUNS_I386)
  find_program(X86IDENT_QEMU_I386 qemu-i386)
  if(NOT X86IDENT_QEMU_I386)
    message(FATAL_ERROR "x86ident: this kernel runs no 32-bit programs, and the tests need qemu-i386 "
                        "(apt-get install qemu-user)")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${X86IDENT_QEMU_I386})
  if(X86IDENT_KERNEL_RUNS_I386)
    message(STATUS "x86ident: 32-bit programs run under qemu-i386 (X86IDENT_FORCE_QEMU_I386)")
  else()
    message(STATUS "x86ident: this kernel runs no 32-bit programs: they run under qemu-i386")
  endif()
else()
  message(STATUS "x86ident: this kernel runs 32-bit programs")
endif()
