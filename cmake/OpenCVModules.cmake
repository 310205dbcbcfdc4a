# Debian ships OpenCV's CMake package only with the full libopencv-dev; the per-module -dev
# packages we install carry headers and libraries, so the targets are made here:
# OpenCV::core, OpenCV::imgproc, OpenCV::imgcodecs, OpenCV::videoio.
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
foreach(module core imgproc imgcodecs videoio)
  find_library(OPENCV_${module}_LIBRARY opencv_${module})
  if(OPENCV_${module}_LIBRARY AND NOT TARGET OpenCV::${module})
    add_library(OpenCV::${module} UNKNOWN IMPORTED)
    set_target_properties(OpenCV::${module} PROPERTIES
      IMPORTED_LOCATION ${OPENCV_${module}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${OPENCV_INCLUDE_DIR})
  endif()
endforeach()
