# 32-bit Windows, the program we ship. This machine cannot run it.
set(ZOVIK_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
