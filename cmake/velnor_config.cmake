# Every target links velnor_config: the language standard, the warnings, the
# headers the build generates ("core/identity.h") and, when asked for, the
# sanitizers.
set(VELNOR_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
add_library(velnor_config INTERFACE)
target_compile_features(velnor_config INTERFACE cxx_std_20)
target_include_directories(velnor_config INTERFACE ${VELNOR_GENERATED_DIR})
target_compile_options(velnor_config INTERFACE -Wall -Wextra)
# Each double operation rounds on its own, as the percentages and their
# rounding are specified, even where the target has fused multiply-add.
target_compile_options(velnor_config INTERFACE -ffp-contract=off)
# GCC 12 at -O3 takes `"text" + std::string` for an overlapping memcpy
# (GCC bug 105329): silence that check there rather than contort every
# string concatenation.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(velnor_config INTERFACE -Wno-restrict)
endif()
if(VELNOR_WERROR)
    target_compile_options(velnor_config INTERFACE -Werror)
endif()
if(VELNOR_SANITIZE)
    target_compile_options(velnor_config INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(velnor_config INTERFACE -fsanitize=address,undefined)
endif()
