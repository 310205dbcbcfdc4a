# The sanitizer build: SANITIZE names the sanitizers, comma separated ("address,undefined").
# Everything is built with them, and every test runs with their options, set here once for
# the whole suite (programs a test starts inherit them).
if(NOT SANITIZE)
  return()
endif()

string(REPLACE "," ";" sanitizers "${SANITIZE}")
foreach(sanitizer IN LISTS sanitizers)
  if(NOT sanitizer MATCHES "^(thread|address|undefined)$")
    message(FATAL_ERROR "SANITIZE: \"${sanitizer}\" is not thread, address or undefined")
  endif()
endforeach()
list(LENGTH sanitizers sanitizer_count)
if("thread" IN_LIST sanitizers AND sanitizer_count GREATER 1)
  message(FATAL_ERROR "SANITIZE: thread cannot be combined with another sanitizer")
endif()

add_compile_options(-fsanitize=${SANITIZE} -fno-omit-frame-pointer)
add_link_options(-fsanitize=${SANITIZE})
if("undefined" IN_LIST sanitizers)
  # Undefined behaviour fails the test that meets it, rather than printing and going on.
  add_compile_options(-fno-sanitize-recover=undefined)
endif()

set(environment "")
if("thread" IN_LIST sanitizers)
  string(APPEND environment "set(ENV{TSAN_OPTIONS} \"suppressions="
         "${CMAKE_CURRENT_LIST_DIR}/ThreadSanitizer.supp second_deadlock_stack=1\")\n")
endif()
if("undefined" IN_LIST sanitizers)
  string(APPEND environment "set(ENV{UBSAN_OPTIONS} \"print_stacktrace=1\")\n")
endif()
set(environment_file ${CMAKE_BINARY_DIR}/sanitizer_test_environment.cmake)
file(WRITE ${environment_file} "${environment}")
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY TEST_INCLUDE_FILES ${environment_file})
