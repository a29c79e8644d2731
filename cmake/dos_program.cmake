# X86IDENT.COM: the report library, the DOS platform's back ends (the output
# layer, console pause and service calls) and its start-up code, linked by
# dos.ld into an ELF that stays beside the image for the instruction scan,
# and cut from it as the flat image that DOS loads.
enable_language(ASM)
set(dos_dir ${PROJECT_SOURCE_DIR}/src/platform/dos)
set_source_files_properties(src/platform/x86/cpuid_hardware.cpp PROPERTIES COMPILE_OPTIONS -Wa,-march=i486)

# x86ident_dos_program(NAME SOURCE...): NAME.elf and the upper-case NAME.COM.
function(x86ident_dos_program name)
  string(TOUPPER ${name}.COM image)
  add_executable(${name} ${dos_dir}/dos_start.s ${ARGN})
  set_target_properties(${name} PROPERTIES SUFFIX .elf LINK_DEPENDS ${dos_dir}/dos.ld)
  target_link_options(${name} PRIVATE -Wl,-T,${dos_dir}/dos.ld)
  target_link_libraries(${name} PRIVATE x86ident_platform x86ident_report)
  add_custom_command(TARGET ${name} POST_BUILD
                     COMMAND ${CMAKE_OBJCOPY} -O binary $<TARGET_FILE:${name}> ${image}
                     BYPRODUCTS ${image})
endfunction()

x86ident_dos_program(x86ident src/x86ident/main.cpp)
target_link_libraries(x86ident PRIVATE x86ident_processor)

if(NOT X86IDENT_TESTS)
  return()
endif()

# RUNKEYS.COM presses keys for the program under test in DOSBox.
x86ident_dos_program(runkeys tests/dos/run_keys.cpp)

# The same program on recorded processors: for each dump NAME.txt (lines of
# x86ident's own raw dump) in X86IDENT_DOS_RECORDINGS, NAME.COM answers CPUID
# from its leaves, compiled in.
set(X86IDENT_DOS_RECORDINGS "" CACHE PATH "Folder of dumps to build recorded DOS programs of")
if(X86IDENT_DOS_RECORDINGS)
  file(GLOB recordings ${X86IDENT_DOS_RECORDINGS}/*.txt)
  foreach(recording ${recordings})
    get_filename_component(name ${recording} NAME_WE)
    string(TOLOWER ${name} name)
    file(STRINGS ${recording} records REGEX "^[0-9a-f]+ [0-9a-f]+ [0-9a-f]+ [0-9a-f]+ [0-9a-f]+$")
    set(table "")
    foreach(record ${records})
      string(REPLACE " " ", 0x" record ${record})
      string(APPEND table "{0x${record}},\n")
    endforeach()
    file(WRITE ${CMAKE_BINARY_DIR}/${name}_leaves.inc ${table})
    x86ident_dos_program(${name} src/x86ident/main.cpp src/platform/none/processor_bind_none.cpp tests/dos/cpuid_table.cpp)
    target_compile_definitions(${name} PRIVATE X86IDENT_RECORDED_LEAVES="${CMAKE_BINARY_DIR}/${name}_leaves.inc")
  endforeach()
endif()
