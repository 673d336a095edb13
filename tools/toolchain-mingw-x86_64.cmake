# The same programs for 64-bit Windows, for machines whose kernel cannot
# execute 32-bit programs and so cannot run the i686 build under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HARVIO_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
