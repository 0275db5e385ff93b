# velnor_library(NAME DEPS...): the library of one folder, made of every
# source in it; the project root is on the include path ("core/run/modFindFiles.h").
function(velnor_library name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} holds no sources for ${name}")
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN} velnor_config)
endfunction()
