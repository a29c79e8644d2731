# The web page, complete and ready to serve, in web/ of the build folder:
# the page and its module, x86ident-replay.wasm, and the .js files of the
# WASI shim, which npm ci fetches as web/package-lock.json pins it. From the
# same files, x86ident-VERSION.html: the page in one file that opens from disk.
find_program(X86IDENT_NPM npm REQUIRED)
find_program(X86IDENT_NODE node REQUIRED)
set(page_dir ${CMAKE_BINARY_DIR}/web)
set(npm_dir ${CMAKE_BINARY_DIR}/npm)
# index.html names the dump forms as their table does.
configure_file(${PROJECT_SOURCE_DIR}/web/index.html ${CMAKE_BINARY_DIR}/page/index.html @ONLY)
set(page_sources ${CMAKE_BINARY_DIR}/page/index.html ${PROJECT_SOURCE_DIR}/web/page.css ${PROJECT_SOURCE_DIR}/web/page.js
                 ${PROJECT_SOURCE_DIR}/web/x86ident.js ${PROJECT_SOURCE_DIR}/web/wasm_bytes.js)
file(MAKE_DIRECTORY ${npm_dir})
set_target_properties(x86ident-replay PROPERTIES SUFFIX .wasm)

add_custom_command(
  OUTPUT ${npm_dir}/node_modules/.package-lock.json
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/package.json ${PROJECT_SOURCE_DIR}/web/package-lock.json
          ${npm_dir}
  COMMAND ${X86IDENT_NPM} ci --no-audit --no-fund --loglevel=error
  WORKING_DIRECTORY ${npm_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/web/package.json ${PROJECT_SOURCE_DIR}/web/package-lock.json
  COMMENT "npm ci: the WASI shim and the test driver")

add_custom_command(
  OUTPUT ${page_dir}/index.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${page_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${page_dir}/browser_wasi_shim
  COMMAND ${CMAKE_COMMAND} -E copy ${page_sources} $<TARGET_FILE:x86ident-replay> ${page_dir}
  COMMAND ${CMAKE_COMMAND} -D from=${npm_dir}/node_modules/@bjorn3/browser_wasi_shim/dist
          -D to=${page_dir}/browser_wasi_shim -P ${PROJECT_SOURCE_DIR}/cmake/copy_js.cmake
  DEPENDS x86ident-replay ${npm_dir}/node_modules/.package-lock.json ${page_sources}
  COMMENT "The web page in ${page_dir}")
add_custom_target(web_page ALL DEPENDS ${page_dir}/index.html)

set(single_file ${CMAKE_BINARY_DIR}/x86ident-${PROJECT_VERSION}.html)
add_custom_command(
  OUTPUT ${single_file}
  COMMAND ${X86IDENT_NODE} ${PROJECT_SOURCE_DIR}/web/bundle.mjs ${npm_dir} ${page_dir} ${single_file}
  # The page's files by target (web_page): naming its output here would run
  # its commands twice, in parallel, in a Makefile build.
  DEPENDS web_page x86ident-replay ${page_sources} ${PROJECT_SOURCE_DIR}/web/bundle.mjs
  COMMENT "The web page in one file: ${single_file}")
add_custom_target(web_single_file ALL DEPENDS ${single_file})
