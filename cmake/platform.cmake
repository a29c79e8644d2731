# The platform's back ends, chosen here alone from the declared options and
# the target system. Each platform keeps its own in src/platform/NAME/; two
# folders hold what several share: x86/ (the CPUID instruction, on every
# platform that has one) and stdio/ (output through the C library).
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

# One row a platform: the folders of src/platform/ whose output sink
# (output_FOLDER.cpp), console key (console_key_FOLDER.cpp) and processor
# binding (processor_bind_FOLDER.cpp) it takes.
set(platform_table
  #  platform  output  console key  processor binding
    "linux     stdio   posix        linux"
    "windows   stdio   windows      windows"
    "dos       dos     dos          none"
    "web       stdio   none         none"
    "other     stdio   posix        none")
foreach(row IN LISTS platform_table)
  string(REGEX MATCHALL "[a-z0-9]+" row "${row}")
  list(GET row 0 platform)
  if(platform STREQUAL X86IDENT_PLATFORM)
    list(GET row 1 output_folder)
    list(GET row 2 console_folder)
    list(GET row 3 binding_folder)
  endif()
endforeach()
set(platform_dir src/platform)
set(output_sink ${platform_dir}/${output_folder}/output_${output_folder}.cpp)
if(output_folder STREQUAL "dos")
  list(APPEND output_sink ${platform_dir}/dos/dos_calls.cpp) # the INT 21h calls it writes through
endif()
set(console_key ${platform_dir}/${console_folder}/console_key_${console_folder}.cpp)
set(processor_binding ${platform_dir}/${binding_folder}/processor_bind_${binding_folder}.cpp)
message(STATUS "x86ident: platform ${X86IDENT_PLATFORM}")

add_library(x86ident_platform OBJECT ${output_sink} ${console_key})
target_link_libraries(x86ident_platform PUBLIC x86ident_core)
if(X86IDENT_HAS_CPUID)
  add_library(x86ident_processor OBJECT ${platform_dir}/x86/cpuid_hardware.cpp ${processor_binding})
  target_link_libraries(x86ident_processor PUBLIC x86ident_core)
endif()
