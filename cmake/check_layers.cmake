# cmake -DROOT=<source dir> -P check_layers.cmake
#
# Layers, lowest first:  core  <  os/<system>, ui/design  <  ui/form  <  ui/<toolkit>, cli  <  app.
# - core/ includes only core/; os/X/ only core/ and os/X/; ui/design/ (the
#   windows' controls as designed) only core/ and ui/design/; ui/form/ (the
#   windows' behaviour, toolkit-free) only those and itself; ui/X/ only core/,
#   ui/design/, ui/form/ and ui/X/ (what it needs of the system comes through
#   the core's factories); cli/ only core/ and cli/; app/ anything but another
#   system's or toolkit's folder.
# - core/, ui/design/, ui/form/ and cli/ are shared by every system: of the
#   headers in <>, only the C++ standard library's, and no #ifdef on the system.
cmake_minimum_required(VERSION 3.25)

set(standard_headers
    algorithm any array atomic barrier bit bitset charconv chrono cmath codecvt compare complex
    concepts condition_variable coroutine cstddef cstdint cstdio cstdlib cstring ctime cctype
    cerrno cfloat climits clocale csignal cstdarg cuchar cwchar cwctype cassert deque exception
    execution filesystem format forward_list fstream functional future initializer_list iomanip
    ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource
    mutex new numbers numeric optional ostream queue random ranges ratio regex scoped_allocator
    semaphore set shared_mutex source_location span sstream stack stdexcept stop_token streambuf
    string string_view syncstream system_error thread tuple type_traits typeindex typeinfo
    unordered_map unordered_set utility valarray variant vector version)
list(JOIN standard_headers "|" standard_pattern)

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
    elseif(layer STREQUAL "ui/form")
        set(allowed "^(core|ui/design|ui/form)/")
    elseif(layer MATCHES "^ui/")
        set(allowed "^(core|ui/design|ui/form|${layer})/")
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
            if(layer MATCHES "^(core|cli|ui/design|ui/form)$" AND
               NOT header MATCHES "^(${standard_pattern})$")
                list(APPEND failures "${file}: shared code includes <${header}>, no standard header")
            endif()
        elseif(layer MATCHES "^(core|cli|ui/design|ui/form)$" AND
               line MATCHES "_WIN32|__linux__|__unix__")
            list(APPEND failures "${file}: shared code picks a system: ${line}")
        endif()
    endforeach()
endforeach()

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "Layer rules broken:\n  ${text}")
endif()
