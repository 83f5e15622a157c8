# Project-wide compile settings, carried by one interface target.
add_library(kelmo4_common INTERFACE)
target_compile_features(kelmo4_common INTERFACE cxx_std_20)
target_compile_options(kelmo4_common INTERFACE -Wall -Wextra -pedantic)
target_compile_definitions(kelmo4_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_USE_QSTRINGBUILDER
  QT_NO_KEYWORDS)
set(CMAKE_CXX_EXTENSIONS OFF)
