# The platform's back ends, chosen here alone from the declared options and
# the target system. Each platform keeps its own in src/platform/NAME/; two
# folders hold what several share: x86/ (the CPUID instruction, on every
# platform that has one) and stdio/ (output through the C library).
#
#   platform  output sink   console key         processor binding
#   linux     stdio         posix (/dev/tty)    linux
#   windows   stdio         windows (_getch)    windows
#   dos       dos           dos (CON)           none
#   web       stdio         none                none
#   other     stdio         posix               none
#
# x86ident_platform: the output sink and the console key, for every program of
# the build. x86ident_processor: the instruction back end and the binding,
# x86ident's own (the replay tool answers CPUID from a table). Both are object
# libraries: their objects link whole, whatever the order of the libraries.
if(X86IDENT_DOS)
  set(X86IDENT_PLATFORM dos)
elseif(X86IDENT_WEB)
  set(X86IDENT_PLATFORM web)
elseif(WIN32)
  set(X86IDENT_PLATFORM windows)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(X86IDENT_PLATFORM linux)
else()
  set(X86IDENT_PLATFORM other)
endif()

set(platform_dir src/platform)
if(X86IDENT_PLATFORM STREQUAL "dos")
  set(output_sink ${platform_dir}/dos/dos_output.cpp ${platform_dir}/dos/dos_calls.cpp)
else()
  set(output_sink ${platform_dir}/stdio/output_stdio.cpp)
endif()
if(X86IDENT_PLATFORM MATCHES "^(dos|windows)$")
  set(console_key ${platform_dir}/${X86IDENT_PLATFORM}/console_key_${X86IDENT_PLATFORM}.cpp)
elseif(X86IDENT_PLATFORM STREQUAL "web")
  set(console_key ${platform_dir}/none/console_key_none.cpp)
else()
  set(console_key ${platform_dir}/posix/console_key_posix.cpp)
endif()
if(X86IDENT_PLATFORM MATCHES "^(linux|windows)$")
  set(processor_binding ${platform_dir}/${X86IDENT_PLATFORM}/processor_bind_${X86IDENT_PLATFORM}.cpp)
else()
  set(processor_binding ${platform_dir}/none/processor_bind_none.cpp)
endif()
message(STATUS "x86ident: platform ${X86IDENT_PLATFORM}")

add_library(x86ident_platform OBJECT ${output_sink} ${console_key})
target_link_libraries(x86ident_platform PUBLIC x86ident_core)
if(X86IDENT_HAS_CPUID)
  add_library(x86ident_processor OBJECT ${platform_dir}/x86/cpuid_hardware.cpp ${processor_binding})
  target_link_libraries(x86ident_processor PUBLIC x86ident_core)
endif()
