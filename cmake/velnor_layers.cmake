# Checks the layers at every build: a file includes only headers of its own
# layer or of those below it, the core and the shared folders include no
# toolkit and no system header, and no shared file picks a system by #ifdef.
file(GLOB_RECURSE velnor_layered_sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/core/*.h ${PROJECT_SOURCE_DIR}/core/*.cpp
    ${PROJECT_SOURCE_DIR}/os/*.h ${PROJECT_SOURCE_DIR}/os/*.cpp
    ${PROJECT_SOURCE_DIR}/ui/*.h ${PROJECT_SOURCE_DIR}/ui/*.cpp
    ${PROJECT_SOURCE_DIR}/cli/*.h ${PROJECT_SOURCE_DIR}/cli/*.cpp
    ${PROJECT_SOURCE_DIR}/app/*.h ${PROJECT_SOURCE_DIR}/app/*.cpp)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/layers.checked
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/layers.checked
    DEPENDS ${velnor_layered_sources} ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake
    COMMENT "Checking the layers' includes")
add_custom_target(velnor_layers ALL DEPENDS ${CMAKE_BINARY_DIR}/layers.checked)
