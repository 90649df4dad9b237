# One place for the options every Parcelo target compiles with.
add_library(parcelo_options INTERFACE)
target_compile_features(parcelo_options INTERFACE cxx_std_20)
if(MSVC)
  target_compile_options(parcelo_options INTERFACE /W4 /permissive- /utf-8)
else()
  target_compile_options(parcelo_options INTERFACE -Wall -Wextra -Wpedantic)
endif()
target_include_directories(parcelo_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
