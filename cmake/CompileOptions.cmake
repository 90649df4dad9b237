# One place for the options every Parcelo target compiles with.
option(PARCELO_WERROR "Treat compiler warnings as errors (CI turns this on)" OFF)

add_library(parcelo_options INTERFACE)
target_compile_features(parcelo_options INTERFACE cxx_std_20)
if(MSVC)
  target_compile_options(parcelo_options INTERFACE /W4 /permissive- /utf-8)
  if(PARCELO_WERROR)
    target_compile_options(parcelo_options INTERFACE /WX)
  endif()
else()
  target_compile_options(parcelo_options INTERFACE
    -Wall -Wextra -Wpedantic
    -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
    -Wcast-qual -Wnull-dereference -Wimplicit-fallthrough -Wmissing-declarations
    -Wunused -Wformat=2)
  if(PARCELO_WERROR)
    target_compile_options(parcelo_options INTERFACE -Werror)
  endif()
endif()
target_include_directories(parcelo_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# The window code builds its texts explicitly: no silent conversion between QString and
# char strings.
add_library(parcelo_qt_strict INTERFACE)
target_compile_definitions(parcelo_qt_strict INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
