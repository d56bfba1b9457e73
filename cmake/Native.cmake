# The Windows-free code, with the in-memory registry, and its tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)
include(GoogleTest)

set(_sanitizers -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(polvane_rules STATIC ${POLVANE_RULES} app/MemoryRegistry.cpp)
target_compile_options(polvane_rules PUBLIC ${_sanitizers})
target_link_options(polvane_rules PUBLIC ${_sanitizers})

file(GLOB _native_tests CONFIGURE_DEPENDS tests/native/*.cpp tests/common/*.cpp)
add_executable(polvane_native_tests ${_native_tests})
target_link_libraries(polvane_native_tests PRIVATE polvane_rules GTest::gtest_main)
target_compile_definitions(polvane_native_tests PRIVATE POLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(polvane_native_tests)

# The Group Policy template pair must be well-formed XML.
find_program(XMLLINT xmllint REQUIRED)
add_test(NAME policy_templates_well_formed
         COMMAND ${XMLLINT} --noout ${CMAKE_SOURCE_DIR}/policy/Polvane.admx
                 ${CMAKE_SOURCE_DIR}/policy/en-US/Polvane.adml)
