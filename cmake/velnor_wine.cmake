# Windows programs built here run under Wine: ctest and the tests' discovery
# start them through this emulator, in a throwaway prefix of the build folder,
# Mono and Gecko not offered. The locale zh_CN.UTF-8 gives Wine the ANSI code
# page 936 of the Chinese Windows the programs are made for, and UTF-8 for the
# Linux names of its files (without it Chinese names cannot be made); it is
# compiled into the build folder too, so the machine's locales stay as they are.
find_program(VELNOR_WINE wine)
find_program(VELNOR_LOCALEDEF localedef)
if(NOT VELNOR_WINE OR NOT VELNOR_LOCALEDEF)
    message(FATAL_ERROR "Running the Windows tests needs Wine and the locale sources "
        "(Debian: wine wine64 locales).")
endif()
set(VELNOR_LOCPATH ${CMAKE_BINARY_DIR}/locale)
if(NOT EXISTS ${VELNOR_LOCPATH}/zh_CN.UTF-8)
    file(MAKE_DIRECTORY ${VELNOR_LOCPATH})
    execute_process(COMMAND ${VELNOR_LOCALEDEF} -i zh_CN -f UTF-8 ${VELNOR_LOCPATH}/zh_CN.UTF-8
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "localedef could not compile zh_CN.UTF-8 into ${VELNOR_LOCPATH}")
    endif()
endif()
set(VELNOR_WINE_ENVIRONMENT
    WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    LOCPATH=${VELNOR_LOCPATH} LC_ALL=zh_CN.UTF-8)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${VELNOR_WINE_ENVIRONMENT} ${VELNOR_WINE})
