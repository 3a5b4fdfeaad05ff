# Finds OpenCV core, imgproc and highgui from Debian's -dev packages, which ship no CMake package file.
find_path(OpenCVHighgui_INCLUDE_DIR opencv2/highgui.hpp PATH_SUFFIXES opencv4)
find_library(OpenCVHighgui_CORE_LIBRARY opencv_core)
find_library(OpenCVHighgui_IMGPROC_LIBRARY opencv_imgproc)
find_library(OpenCVHighgui_HIGHGUI_LIBRARY opencv_highgui)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCVHighgui REQUIRED_VARS
  OpenCVHighgui_INCLUDE_DIR OpenCVHighgui_CORE_LIBRARY OpenCVHighgui_IMGPROC_LIBRARY OpenCVHighgui_HIGHGUI_LIBRARY)

if(OpenCVHighgui_FOUND AND NOT TARGET OpenCVHighgui::OpenCVHighgui)
  add_library(OpenCVHighgui::OpenCVHighgui INTERFACE IMPORTED)
  set_target_properties(OpenCVHighgui::OpenCVHighgui PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${OpenCVHighgui_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "${OpenCVHighgui_HIGHGUI_LIBRARY};${OpenCVHighgui_IMGPROC_LIBRARY};${OpenCVHighgui_CORE_LIBRARY}")
endif()
mark_as_advanced(OpenCVHighgui_INCLUDE_DIR OpenCVHighgui_CORE_LIBRARY OpenCVHighgui_IMGPROC_LIBRARY OpenCVHighgui_HIGHGUI_LIBRARY)
