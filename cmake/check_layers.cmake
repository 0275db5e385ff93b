# cmake -DROOT=<source dir> -P check_layers.cmake
#
# Layers, lowest first:  core  <  os/<system>, ui/design  <  ui/<toolkit>, cli  <  app.
# - core/ includes only core/; os/X/ only core/ and os/X/; ui/design/ (the
#   windows' controls as designed) only core/ and ui/design/; ui/X/ only core/,
#   ui/design/ and ui/X/ (what it needs of the system comes through the core's
#   factories); cli/ only core/ and cli/; app/ anything but another system's
#   or toolkit's folder.
# - core/, ui/design/ and cli/ are shared by every system: no toolkit header,
#   no system header, no #ifdef on the system.
cmake_minimum_required(VERSION 3.25)

set(system_headers
    "sys/" "unistd\\.h" "fcntl\\.h" "dirent\\.h" "iconv\\.h" "termios\\.h" "poll\\.h"
    "pthread\\.h" "spawn\\.h" "signal\\.h" "win[a-z0-9]*\\.h" "io\\.h" "aclapi\\.h" "sddl\\.h"
    "shellapi\\.h" "shlobj\\.h" "Q[A-Za-z]+")
list(JOIN system_headers "|" system_pattern)

set(failures "")
file(GLOB_RECURSE files RELATIVE ${ROOT}
    ${ROOT}/core/*.h ${ROOT}/core/*.cpp ${ROOT}/os/*.h ${ROOT}/os/*.cpp
    ${ROOT}/ui/*.h ${ROOT}/ui/*.cpp ${ROOT}/cli/*.h ${ROOT}/cli/*.cpp
    ${ROOT}/app/*.h ${ROOT}/app/*.cpp)
foreach(file ${files})
    string(REGEX MATCH "^(core|cli|app|os/[^/]+|ui/[^/]+)" layer ${file})
    if(layer STREQUAL "core")
        set(allowed "^core/")
    elseif(layer STREQUAL "cli")
        set(allowed "^(core|cli)/")
    elseif(layer STREQUAL "app")
        set(allowed "^(core|app|os|ui)/")
    elseif(layer STREQUAL "ui/design")
        set(allowed "^(core|ui/design)/")
    elseif(layer MATCHES "^ui/")
        set(allowed "^(core|ui/design|${layer})/")
    else()
        set(allowed "^(core|${layer})/")
    endif()
    file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*(include|if|ifdef|ifndef|elif)")
    foreach(line ${lines})
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header ${CMAKE_MATCH_1})
            if(NOT header MATCHES "${allowed}")
                list(APPEND failures "${file}: includes ${header} from a higher or another layer")
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
            set(header ${CMAKE_MATCH_1})
            if(layer MATCHES "^(core|cli|ui/design)$" AND header MATCHES "^(${system_pattern})")
                list(APPEND failures "${file}: shared code includes <${header}>")
            endif()
        elseif(layer MATCHES "^(core|cli|ui/design)$" AND line MATCHES "_WIN32|__linux__|__unix__")
            list(APPEND failures "${file}: shared code picks a system: ${line}")
        endif()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "Layer rules broken:\n  ${text}")
endif()
