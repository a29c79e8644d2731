# cmake -D from=DIR -D to=DIR -P copy_js.cmake: copies the .js files of one
# folder (a package's modules, without its type maps and build records).
file(GLOB modules ${from}/*.js)
if(NOT modules)
  message(FATAL_ERROR "no .js files in ${from}")
endif()
file(COPY ${modules} DESTINATION ${to})
