# Windows programs built here run under Wine: ctest and the tests' discovery
# start them through this emulator. The prefix is a throwaway one in the build
# folder; a locale of code page 936 gives Wine the ANSI code page of the
# Chinese Windows the programs are made for; Mono and Gecko are not offered.
find_program(VELNOR_WINE wine)
if(NOT VELNOR_WINE)
    message(FATAL_ERROR "Running the Windows tests needs Wine (Debian: wine wine64).")
endif()
set(VELNOR_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${VELNOR_WINEPREFIX} WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= LC_ALL=zh_CN.UTF-8 ${VELNOR_WINE})
