# Compiles IDL files into omniORB C++ stubs and skeletons, in one folder for the whole build
# so that generated headers find each other by plain name ("BasicDataType.hh").
#
#   omniidl_library(<target> IDL <file.idl>... [LINK <target>...])
#
# makes a static library <target> of the generated code (with Any support), linked to
# omniORB and to the LINK targets (libraries of the IDL files the given ones include).

find_package(PkgConfig REQUIRED)
pkg_check_modules(OMNIORB REQUIRED IMPORTED_TARGET omniORB4 omniDynamic4 omnithread4)
find_program(OMNIIDL omniidl REQUIRED)

set(OMNIIDL_OUTPUT_DIR ${CMAKE_BINARY_DIR}/idl_gen)
file(MAKE_DIRECTORY ${OMNIIDL_OUTPUT_DIR})
set(OMNIIDL_INCLUDE_DIRS ${PROJECT_SOURCE_DIR}/rtm/idl ${PROJECT_SOURCE_DIR}/idl)

function(omniidl_library target)
  cmake_parse_arguments(ARG "" "" "IDL;LINK" ${ARGN})
  set(include_flags)
  foreach(dir ${OMNIIDL_INCLUDE_DIRS})
    list(APPEND include_flags -I${dir})
  endforeach()
  file(GLOB all_idl ${PROJECT_SOURCE_DIR}/rtm/idl/*.idl ${PROJECT_SOURCE_DIR}/idl/*.idl)
  set(sources)
  foreach(idl ${ARG_IDL})
    get_filename_component(abs ${idl} ABSOLUTE)
    get_filename_component(stem ${idl} NAME_WE)
    set(out ${OMNIIDL_OUTPUT_DIR}/${stem}.hh ${OMNIIDL_OUTPUT_DIR}/${stem}SK.cc
            ${OMNIIDL_OUTPUT_DIR}/${stem}DynSK.cc)
    add_custom_command(
      OUTPUT ${out}
      COMMAND ${OMNIIDL} -bcxx -Wba -Wbh=.hh -Wbs=SK.cc -Wbd=DynSK.cc ${include_flags}
              -C${OMNIIDL_OUTPUT_DIR} ${abs}
      DEPENDS ${abs} ${all_idl}
      COMMENT "omniidl ${stem}.idl"
      VERBATIM)
    list(APPEND sources ${OMNIIDL_OUTPUT_DIR}/${stem}SK.cc ${OMNIIDL_OUTPUT_DIR}/${stem}DynSK.cc)
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} SYSTEM PUBLIC ${OMNIIDL_OUTPUT_DIR})
  target_compile_options(${target} PRIVATE -w)
  target_link_libraries(${target} PUBLIC PkgConfig::OMNIORB Threads::Threads ${ARG_LINK})
endfunction()
