# Project-wide compile settings, carried by one interface target.
add_library(kelmo4_common INTERFACE)
target_compile_features(kelmo4_common INTERFACE cxx_std_20)
target_compile_options(kelmo4_common INTERFACE -Wall -Wextra -pedantic)
target_compile_definitions(kelmo4_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_USE_QSTRINGBUILDER
  QT_NO_KEYWORDS)
set(CMAKE_CXX_EXTENSIONS OFF)

if(KELMO4_SANITIZE)
  target_compile_options(kelmo4_common INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kelmo4_common INTERFACE -fsanitize=address,undefined)
endif()
if(KELMO4_FUZZ)
  # The library is instrumented for coverage; only the fuzz targets link libFuzzer's main.
  target_compile_options(kelmo4_common INTERFACE -fsanitize=fuzzer-no-link)
endif()
