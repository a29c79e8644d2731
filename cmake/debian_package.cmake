# The Debian package (cpack -G DEB), made to pass lintian: stripped programs,
# compressed manual pages, a machine-readable copyright file, the changelog
# from NEWS, an extended description, and an override for the static link,
# which is on purpose. Set SOURCE_DATE_EPOCH for the same bytes in every build.
set(X86IDENT_MAINTAINER "x86ident maintainers <x86ident@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

# NEWS is the changelog, in Debian's syntax; its newest entry names the version.
file(STRINGS ${PROJECT_SOURCE_DIR}/NEWS news_head LIMIT_COUNT 1)
if(NOT news_head MATCHES "^x86ident \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "NEWS begins with \"${news_head}\", not with the entry of version ${PROJECT_VERSION}")
endif()

# The copyright file: the license text as a Debian copyright paragraph.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "\n+$" "" license "${license}")
string(REGEX REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " license "${license}")
set(LICENSE_TEXT " ${license}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
# These files are the Debian package's alone (component debian, out of a plain
# cmake --install); the RPM and Arch packages install the programs and
# documents components.
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME x86ident COMPONENT debian EXCLUDE_FROM_ALL)
if(X86IDENT_GZIP)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                     COMMAND ${X86IDENT_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/NEWS > ${CMAKE_BINARY_DIR}/packaging/changelog.gz
                     DEPENDS ${PROJECT_SOURCE_DIR}/NEWS VERBATIM)
  add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
endif()

set(CPACK_GENERATOR DEB)
# One package of the three components, debian included.
set(CPACK_COMPONENTS_ALL programs documents debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_NAME x86ident)
# The dump forms as their table names them, in lines of at most 76.
string(REGEX MATCHALL "[^ ]+" words
       "x86ident-replay prints the same report for any processor from a recorded dump of ${X86IDENT_FORMS_TEXT} (the guest and the host of a log), for any logical processor of them.")
set(replay_description "")
set(line "")
foreach(word IN LISTS words)
  string(LENGTH "${line} ${word}" length)
  if(line STREQUAL "")
    set(line "${word}")
  elseif(length GREATER 76)
    string(APPEND replay_description "${line}\n")
    set(line "${word}")
  else()
    string(APPEND line " ${word}")
  endif()
endforeach()
string(APPEND replay_description "${line}")
set(CPACK_PACKAGE_CONTACT "${X86IDENT_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "identifies the x86 processor it runs on, or any from a CPUID dump")
set(CPACK_PACKAGE_DESCRIPTION
    "x86ident executes the CPUID instruction and prints a raw dump of every
standard and extended leaf, the vendor id, and a decoded report for Intel,
AMD and Cyrix processors: family and model names, every feature flag, the
name string, caches and TLBs, the Intel serial number, AMD power management
and address sizes. It pauses for a key between screens on a terminal.

${replay_description}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# CPack's source package would take in the build folder (hundreds of MB);
# tools/make-release makes the source tarball; this one leaves out the same.
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/build-[^/]*/" "/[.]git/" "/node_modules/")
include(CPack)
