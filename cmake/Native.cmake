# The Windows-free code, with the in-memory registry, and its tests under
# AddressSanitizer and UndefinedBehaviorSanitizer; or, with POLVANE_FUZZ and
# clang, the load path's fuzzer.
option(POLVANE_FUZZ "Build the libFuzzer target of the load path (needs clang)" OFF)
if(POLVANE_FUZZ)
  set(_fuzz_flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  set(_work ${CMAKE_BINARY_DIR}/fuzz-work)
  # Each target runs briefly in the test command, from its kept corpus if it
  # has one; new finds go to the build tree.
  foreach(_fuzzer load command pol)
    add_executable(${_fuzzer}_fuzzer tests/fuzz/${_fuzzer}_fuzzer.cpp tests/common/MemoryRegistry.cpp
                   ${POLVANE_RULES})
    target_compile_options(${_fuzzer}_fuzzer PRIVATE ${_fuzz_flags})
    target_link_options(${_fuzzer}_fuzzer PRIVATE ${_fuzz_flags})
    set(_corpus ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${_fuzzer})
    add_test(NAME ${_fuzzer}_fuzzer_short
             COMMAND sh -c "mkdir -p '${_work}/${_fuzzer}' && exec '$<TARGET_FILE:${_fuzzer}_fuzzer>' -max_total_time=10 -timeout=5 -print_final_stats=1 '${_work}/${_fuzzer}' '${_corpus}'")
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

set(_sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(polvane_rules STATIC ${POLVANE_RULES})
target_compile_options(polvane_rules PUBLIC ${_sanitizers})
target_link_options(polvane_rules PUBLIC ${_sanitizers})

file(GLOB _native_tests CONFIGURE_DEPENDS tests/native/*.cpp tests/common/*.cpp)
add_executable(polvane_native_tests ${_native_tests})
target_link_libraries(polvane_native_tests PRIVATE polvane_rules GTest::gtest_main)
target_compile_definitions(polvane_native_tests PRIVATE POLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(polvane_native_tests)

# No #include reaches up from a lower layer to a higher one.
add_test(NAME include_layers COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-layers.sh)

# The Group Policy template pair must be well-formed XML.
find_program(XMLLINT xmllint REQUIRED)
add_test(NAME policy_templates_well_formed
         COMMAND ${XMLLINT} --noout ${CMAKE_SOURCE_DIR}/policy/Polvane.admx
                 ${CMAKE_SOURCE_DIR}/policy/en-US/Polvane.adml)

# The x86 and x64 installer packages share no component GUID.
add_test(NAME installer_component_guids
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/installer_guids_test.sh
                 ${CMAKE_SOURCE_DIR}/installer/Polvane.wxs)
