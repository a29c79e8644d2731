# The dump forms' one table, src/replay/forms/forms.cmake, made into what
# reads and names them, by CMake itself when it configures (on the build
# host, in cross builds too):
#   generated/dump_forms.inc   the reading loop's table and its readers
#   X86IDENT_FORMS_TEXT        "x86ident, AIDA64, ... or VMware"
#   X86IDENT_FORMS_HTML        the same for the web page
#   X86IDENT_FORMS_MAN         the man page's list: each form's example and text
set(x86ident_forms_rows "")
set(x86ident_forms_readers "")
set(x86ident_forms_names "")
set(X86IDENT_FORMS_MAN "")

function(x86ident_c_string text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# roff: a backslash and a hyphen as themselves, `text` bold.
function(x86ident_roff text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "`([^`]*)`" "\\\\fB\\1\\\\fR" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# dump_form(NAME ... EXAMPLE ... NOTE ... READER ... BEGINS ... HEAD ... COLUMN ... MORE ...):
# one row, its values as they stand (ARGV<n> keeps a ';' in them).
function(dump_form)
  foreach(key NAME EXAMPLE NOTE READER BEGINS HEAD COLUMN MORE)
    set(form_${key} "")
  endforeach()
  math(EXPR last_argument "${ARGC} - 1")
  foreach(at RANGE 0 ${last_argument} 2)
    math(EXPR value_at "${at} + 1")
    set(form_${ARGV${at}} "${ARGV${value_at}}")
  endforeach()
  foreach(key NAME EXAMPLE NOTE READER MORE)
    if(form_${key} STREQUAL "")
      message(FATAL_ERROR "forms.cmake: a dump_form() has no ${key}")
    endif()
  endforeach()
  x86ident_c_string("${form_NAME}" name)
  x86ident_c_string("${form_EXAMPLE}" example)
  x86ident_c_string("${form_NOTE}" note)
  set(head nullptr)
  set(begins nullptr)
  if(NOT form_HEAD STREQUAL "")
    x86ident_c_string("${form_HEAD}" head)
  endif()
  if(form_BEGINS STREQUAL "")
    if(form_HEAD STREQUAL "")
      message(FATAL_ERROR "forms.cmake: ${form_NAME} has neither BEGINS nor HEAD")
    endif()
  elseif(form_BEGINS STREQUAL "hex")
    set(begins hex_digits)
  elseif(form_BEGINS STREQUAL "any")
    set(begins "\"\"")
  else()
    x86ident_c_string("${form_BEGINS}" begins)
  endif()
  string(APPEND x86ident_forms_readers
         "LineKind ${form_READER}(Cursor &line, DumpRecord &record, std::string &problem, FormState &state);\n")
  set(first_column false)
  if(form_COLUMN STREQUAL "first")
    set(first_column true)
  elseif(NOT form_COLUMN STREQUAL "")
    message(FATAL_ERROR "forms.cmake: ${form_NAME}: COLUMN is \"first\" or not given")
  endif()
  string(APPEND x86ident_forms_rows
         "    {${name}, ${example}, ${note}, ${form_READER}, ${begins}, ${head}, ${first_column}},\n")
  list(APPEND x86ident_forms_names "${form_NAME}")
  x86ident_roff("${form_EXAMPLE}" example_roff)
  string(REPLACE "<NL>" "\\fR\n.br\n\\fB" example_roff "${example_roff}")
  x86ident_roff("${form_MORE}" more_roff)
  string(APPEND X86IDENT_FORMS_MAN ".IP \\(bu 2\n\\fB${example_roff}\\fR\n\\- ${more_roff}\n")
  foreach(out x86ident_forms_readers x86ident_forms_rows x86ident_forms_names X86IDENT_FORMS_MAN)
    set(${out} "${${out}}" PARENT_SCOPE)
  endforeach()
endfunction()

include(${PROJECT_SOURCE_DIR}/src/replay/forms/forms.cmake)

# "x86ident, AIDA64, ..., VirtualBox or VMware", as the refusal message
# names them.
list(POP_BACK x86ident_forms_names last_form)
list(JOIN x86ident_forms_names ", " X86IDENT_FORMS_TEXT)
string(APPEND X86IDENT_FORMS_TEXT " or ${last_form}")
string(REPLACE "&" "&amp;" X86IDENT_FORMS_HTML "${X86IDENT_FORMS_TEXT}")
string(REPLACE "<" "&lt;" X86IDENT_FORMS_HTML "${X86IDENT_FORMS_HTML}")
string(REPLACE ">" "&gt;" X86IDENT_FORMS_HTML "${X86IDENT_FORMS_HTML}")

file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/dump_forms.inc CONTENT
"// Made by cmake/dump_forms.cmake from src/replay/forms/forms.cmake: edit that.
@x86ident_forms_readers@
constexpr DumpForm dump_forms[] = {
@x86ident_forms_rows@};
" @ONLY)
