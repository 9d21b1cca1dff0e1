# One INTERFACE target carries the language standard, the warnings and the
# floating-point rules; every target of the project links it.
add_library(quorvella_common INTERFACE)
target_compile_features(quorvella_common INTERFACE cxx_std_20)
target_compile_options(quorvella_common INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion
  # Results must not depend on the compiler fusing a*b+c into one rounding.
  -ffp-contract=off
  $<$<BOOL:${QUORVELLA_WERROR}>:-Werror>)
target_compile_definitions(quorvella_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT)

if(QUORVELLA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(QUORVELLA_FUZZ)
  # Instrument every library for coverage-guided fuzzing; the fuzzers add the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
