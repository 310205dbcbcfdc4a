# export_registration(<program> <function>...): the component program exports the named
# registration functions (C linkage) and nothing else of its own, so that whatever loads it
# finds them by name and nothing of the program's insides. Call it once in the CMakeLists of
# the folder that builds the program:
#
#   add_executable(BriskoComp BriskoComp.cpp)
#   export_registration(BriskoComp BriskoInit)
#
# The only other dynamic symbols a program defines are the copies of the C++ library's data
# that position-independent programs keep (typeinfo and vtables, with their library version).
# tests/shell checks every program named here with nm.
function(export_registration program)
  if(NOT ARGN)
    message(FATAL_ERROR "export_registration(${program}): name its registration function")
  endif()
  set(exports_dir ${CMAKE_CURRENT_BINARY_DIR}/${program}_exports)
  set(dynamic_list "{\n")
  set(version_script "{\n  global:\n")
  foreach(function IN LISTS ARGN)
    string(APPEND dynamic_list "  ${function};\n")
    string(APPEND version_script "    ${function};\n")
  endforeach()
  string(APPEND dynamic_list "};\n")
  string(APPEND version_script "  local:\n    *;\n};\n")
  file(WRITE ${exports_dir}/exports.list "${dynamic_list}")
  file(WRITE ${exports_dir}/exports.map "${version_script}")
  # The list adds the functions to the program's dynamic symbols; the map keeps everything
  # else out, also what the program's libraries would otherwise export.
  target_link_options(${program} PRIVATE "LINKER:--dynamic-list=${exports_dir}/exports.list"
                      "LINKER:--version-script=${exports_dir}/exports.map")
  set_property(TARGET ${program} APPEND PROPERTY LINK_DEPENDS ${exports_dir}/exports.list
                                                              ${exports_dir}/exports.map)
  set_property(GLOBAL APPEND PROPERTY COMPONENT_PROGRAMS ${program})
  set_property(TARGET ${program} PROPERTY REGISTRATION_FUNCTIONS ${ARGN})
endfunction()
