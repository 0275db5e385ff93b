# cmake -DPREFIX=<Wine prefix> -DLETTER=<drive letter> -DFOLDER=<folder> -P wine_drive.cmake
#
# Gives Wine a drive of its own: a drive letter is a link in the prefix's
# dosdevices folder, here to an empty folder of the build.
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY ${PREFIX}/dosdevices)
    message(FATAL_ERROR "${PREFIX} is no Wine prefix (yet)")
endif()
file(MAKE_DIRECTORY ${FOLDER})
file(CREATE_LINK ${FOLDER} ${PREFIX}/dosdevices/${LETTER}: SYMBOLIC)
