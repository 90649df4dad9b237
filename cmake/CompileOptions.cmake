# One place for the options every Parcelo target compiles and links with.
option(PARCELO_WERROR "Treat compiler warnings as errors (CI turns this on)" OFF)
set(PARCELO_SANITIZE "" CACHE STRING
  "Sanitizers to build everything with: address;undefined, or thread (empty: none)")

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
  # A unity build (CMAKE_UNITY_BUILD, as the scripts build: about half the compile time)
  # compiles each source as an included file, and GCC then takes a test fixture of an
  # anonymous namespace for a type that leaks out of its file.
  if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(parcelo_options INTERFACE -Wno-subobject-linkage)
  endif()

  # Hardening: stack protector, the whole relocation table read-only once loaded, and
  # position-independent programs (below). The checked (__*_chk) variants of the C
  # library's string and memory functions need optimisation, and would hide faults from
  # the sanitizers.
  target_compile_options(parcelo_options INTERFACE -fstack-protector-strong)
  target_link_options(parcelo_options INTERFACE -Wl,-z,relro -Wl,-z,now)
  if(NOT PARCELO_SANITIZE AND NOT PARCELO_FUZZ)
    target_compile_options(parcelo_options INTERFACE
      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
  endif()

  # Sanitizers: any fault they find ends the program with a report, so a test fails.
  if(PARCELO_SANITIZE)
    foreach(sanitizer ${PARCELO_SANITIZE})
      if(NOT sanitizer MATCHES "^(address|undefined|thread)$")
        message(FATAL_ERROR "PARCELO_SANITIZE: unknown sanitizer '${sanitizer}'")
      endif()
    endforeach()
    if("thread" IN_LIST PARCELO_SANITIZE AND "address" IN_LIST PARCELO_SANITIZE)
      message(FATAL_ERROR "PARCELO_SANITIZE: thread cannot be combined with address")
    endif()
    string(REPLACE ";" "," sanitizers "${PARCELO_SANITIZE}")
    set(sanitize_flags -fsanitize=${sanitizers} -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_compile_options(parcelo_options INTERFACE ${sanitize_flags})
    target_link_options(parcelo_options INTERFACE ${sanitize_flags})
  endif()
endif()
target_include_directories(parcelo_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# Every program is position-independent: CMake compiles with -fPIE (-fPIC in libraries
# and where Qt asks for it) and links programs with -pie.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()

# The window code builds its texts explicitly: no silent conversion between QString and
# char strings.
add_library(parcelo_qt_strict INTERFACE)
target_compile_definitions(parcelo_qt_strict INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
