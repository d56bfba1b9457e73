# Polvane.exe and the tests that run it and its parts under Wine.
enable_language(RC)

# Each build runs under its own Wine loader in a prefix of its own kind,
# never through Debian's /usr/bin/wine, which picks the 32-bit loader
# whenever wine32 is installed, whether or not the kernel can run it.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(POLVANE_WINEARCH win64)
  set(POLVANE_WINE_LOADER /usr/lib/wine/wine64)
else()
  set(POLVANE_WINEARCH win32)
  set(POLVANE_WINE_LOADER /usr/lib/wine/wine)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${POLVANE_WINE_LOADER})

# No DLL beyond Windows' own: the C++ runtime, libgcc and winpthread are
# linked in.
add_link_options(-static -static-libgcc -static-libstdc++)
# Made for Windows 7 and later: a program marked for an older subsystem gets
# Windows' compatibility behaviour, frame metrics among it.
add_link_options(-Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1
                 -Wl,--major-os-version,6 -Wl,--minor-os-version,1)
# The same bytes from the same sources in any folder at any time: no link
# time in the PE header, no build folder in any path.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
# Optimised for size, also when the linker optimises across files, and
# every function in a section of its own, so that it can leave out what
# nothing calls.
string(REPLACE "-O3" "-Os" CMAKE_CXX_FLAGS_RELEASE "${CMAKE_CXX_FLAGS_RELEASE}")
add_compile_options(-ffunction-sections -fdata-sections)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE
                        _WIN32_WINNT=0x0601 WINVER=0x0601)

# Everything but the entry points: the layers below program/, and its
# start-up.
file(GLOB _platform CONFIGURE_DEPENDS platform/*.cpp)
file(GLOB _ui CONFIGURE_DEPENDS ui/*.cpp)
add_library(polvane_core STATIC ${POLVANE_RULES} ${_platform} ${_ui} program/Startup.cpp)
# The program throws and catches nothing.
target_compile_options(polvane_core PRIVATE -fno-exceptions)
set(POLVANE_SYSTEM_LIBRARIES comctl32 advapi32 user32 gdi32 shell32 ole32 oleaut32 oleacc version
                             uuid)
target_link_libraries(polvane_core PUBLIC ${POLVANE_SYSTEM_LIBRARIES})

# Resources are compiled into every program that shows the main window.
add_library(polvane_resources OBJECT resources/Polvane.rc)
set_source_files_properties(resources/Polvane.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/Polvane.manifest;${CMAKE_SOURCE_DIR}/resources/icon-group.bin;${CMAKE_SOURCE_DIR}/resources/icon-16-colours.bin;${CMAKE_SOURCE_DIR}/resources/icon-256-colours.bin;${CMAKE_SOURCE_DIR}/resources/icon-16.png;${CMAKE_SOURCE_DIR}/resources/icon-20.png;${CMAKE_SOURCE_DIR}/resources/icon-24.png;${CMAKE_SOURCE_DIR}/resources/icon-40.png;${CMAKE_SOURCE_DIR}/resources/icon-48.png;${CMAKE_SOURCE_DIR}/resources/icon-64.png;${CMAKE_SOURCE_DIR}/resources/icon-256.png;${CMAKE_SOURCE_DIR}/resources/banner.gif;${CMAKE_SOURCE_DIR}/resources/hand-image.bin;${CMAKE_SOURCE_DIR}/resources/hand-group.bin;${CMAKE_SOURCE_DIR}/resources/Version.h;${CMAKE_SOURCE_DIR}/resources/VersionInfo.rc;${CMAKE_SOURCE_DIR}/resources/resource.h")

# The program compiles the same sources again, optimised across files at
# link time, which makes it about a sixth smaller. (The tests link the core
# library as it is: MinGW's linker refuses to mix the two kinds of objects.)
add_executable(Polvane WIN32 ${POLVANE_RULES} ${_platform} ${_ui} program/Startup.cpp
               program/WinMain.cpp $<TARGET_OBJECTS:polvane_resources>)
set_property(TARGET Polvane PROPERTY INTERPROCEDURAL_OPTIMIZATION TRUE)
# One partition: GCC 12's partitioned LTO for Windows targets stops with an
# internal error on some of the library's templates.
target_link_options(Polvane PRIVATE -flto-partition=one)
target_link_libraries(Polvane PRIVATE ${POLVANE_SYSTEM_LIBRARIES})
# It throws nothing and asks no object for its type.
target_compile_options(Polvane PRIVATE -fno-exceptions -fno-rtti)
target_link_options(Polvane PRIVATE -Wl,--gc-sections -s)

# Polvane.com, the console program: the same command line from the same
# rules and platform code, and none of the windows. A shell waits for it and
# keeps its exit code; cmd and PowerShell find it before Polvane.exe when
# "Polvane" is typed (PATHEXT). It imports kernel32 and advapi32 alone: what
# a command's own work needs beyond them is loaded when that work runs.
add_executable(polvane_console ${POLVANE_RULES} ${_platform} program/Startup.cpp
               program/ConsoleMain.cpp resources/PolvaneConsole.rc)
set_target_properties(polvane_console PROPERTIES OUTPUT_NAME Polvane SUFFIX .com
                                                 INTERPROCEDURAL_OPTIMIZATION TRUE)
set_source_files_properties(resources/PolvaneConsole.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/PolvaneConsole.manifest;${CMAKE_SOURCE_DIR}/resources/VersionInfo.rc;${CMAKE_SOURCE_DIR}/resources/Version.h")
target_compile_options(polvane_console PRIVATE -fno-exceptions -fno-rtti)
target_link_options(polvane_console PRIVATE -flto-partition=one -Wl,--gc-sections -s)
target_link_libraries(polvane_console PRIVATE advapi32)

# A release is signed with Authenticode when a certificate and key are
# given: the exe as soon as it is linked, so that the MSI and the ZIP carry
# the signed file, and each MSI once it is made (scripts/sign.sh).
set(POLVANE_SIGN_CERTIFICATE "" CACHE FILEPATH "Authenticode certificate (PEM or DER chain)")
set(POLVANE_SIGN_KEY "" CACHE FILEPATH "The certificate's private key (PEM)")
set(POLVANE_SIGN_TIMESTAMP "" CACHE STRING "An RFC 3161 timestamp server's address")
set(_sign)
if(POLVANE_SIGN_CERTIFICATE AND POLVANE_SIGN_KEY)
  set(_sign bash ${CMAKE_SOURCE_DIR}/scripts/sign.sh)
  set(_sign_with ${POLVANE_SIGN_CERTIFICATE} ${POLVANE_SIGN_KEY} ${POLVANE_SIGN_TIMESTAMP})
  foreach(_program Polvane polvane_console)
    add_custom_command(TARGET ${_program} POST_BUILD
                       COMMAND ${_sign} $<TARGET_FILE:${_program}> ${_sign_with} VERBATIM)
  endforeach()
endif()

# The PE header, read without Wine, so that the i686 build is checked where
# 32-bit programs cannot run.
if(POLVANE_WINEARCH STREQUAL win64)
  set(_machine i386:x86-64)
else()
  set(_machine i386)
endif()
add_test(NAME pe_header
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/pe_header_test.sh ${CMAKE_OBJDUMP}
                 $<TARGET_FILE:Polvane> ${_machine} "Windows GUI")
add_test(NAME pe_header_console
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/pe_header_test.sh ${CMAKE_OBJDUMP}
                 $<TARGET_FILE:polvane_console> ${_machine} "Windows CUI")

# GoogleTest, built from Debian's sources with the same compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The Wine prefixes the tests run in live in the build tree. The 64-bit
# build runs in a 64-bit prefix. The 32-bit build runs its whole suite
# twice: in a 32-bit prefix (32-bit Windows), and as a 32-bit program in a
# 64-bit prefix (WoW64), which is where nearly every user runs it; those
# runs carry "_wow64" in their names. For each prefix a fixture makes it once
# and keeps one wineserver running. Every test that needs Wine carries the
# label "wine", and the label of its prefix's kind.
if(POLVANE_WINEARCH STREQUAL win64)
  set(POLVANE_WINE_KINDS win64)
else()
  set(POLVANE_WINE_KINDS win32 wow64)
endif()

# Sets _suffix (of the test names) and _wine_env for one kind of prefix.
macro(polvane_wine_kind kind)
  if("${kind}" STREQUAL wow64)
    set(_suffix _wow64)
    set(_arch win64)
  else()
    set(_suffix "")
    set(_arch ${kind})
  endif()
  set(_wine_env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix${_suffix} WINEARCH=${_arch}
                WINELOADER=${POLVANE_WINE_LOADER} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")
endmacro()

# add_test(NAME name ARGN...) once for each kind of prefix, in that prefix.
# One Wine test runs at a time: they share the screen and the input focus.
function(polvane_add_wine_test name)
  foreach(_kind ${POLVANE_WINE_KINDS})
    polvane_wine_kind(${_kind})
    add_test(NAME ${name}${_suffix} ${ARGN})
    set_tests_properties(${name}${_suffix} PROPERTIES
      ENVIRONMENT "${_wine_env}"
      FIXTURES_REQUIRED wine${_suffix}
      RESOURCE_LOCK wine
      LABELS "wine;${_kind}")
  endforeach()
endfunction()

foreach(_kind ${POLVANE_WINE_KINDS})
  polvane_wine_kind(${_kind})
  foreach(_action up down)
    add_test(NAME wine_prefix_${_action}${_suffix}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh ${_action}
                     ${CMAKE_BINARY_DIR}/wineprefix${_suffix})
    set_tests_properties(wine_prefix_${_action}${_suffix} PROPERTIES
      ENVIRONMENT "${_wine_env}" RESOURCE_LOCK wine LABELS "wine;${_kind}")
  endforeach()
  set_tests_properties(wine_prefix_up${_suffix} PROPERTIES FIXTURES_SETUP wine${_suffix})
  set_tests_properties(wine_prefix_down${_suffix} PROPERTIES FIXTURES_CLEANUP wine${_suffix})
endforeach()

# What every Wine test program shares, compiled once: the counting registry,
# the helpers (tests/win/support, one file per concern) and main().
file(GLOB _win_test_support CONFIGURE_DEPENDS tests/win/support/*.cpp)
add_library(polvane_win_test_support STATIC
  tests/common/CountingRegistry.cpp tests/win/WinTestMain.cpp ${_win_test_support})
target_link_libraries(polvane_win_test_support PUBLIC polvane_core GTest::gtest shell32 ole32
                                                      oleaut32 version)

function(polvane_wine_test name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:polvane_resources>)
  target_link_libraries(${name} PRIVATE polvane_win_test_support)
  polvane_add_wine_test(${name} COMMAND ${name})
endfunction()

polvane_wine_test(registry_win_tests tests/win/RegistryWinTest.cpp tests/win/FilesWinTest.cpp
                  tests/win/ToolDifferentialTest.cpp)
polvane_wine_test(main_window_tests tests/win/MainWindowTest.cpp)
polvane_wine_test(startup_tests tests/win/StartupTest.cpp)
polvane_wine_test(process_tests tests/win/ProcessTest.cpp)
add_dependencies(process_tests Polvane)
polvane_wine_test(command_line_tests tests/win/CommandLineProcessTest.cpp)
add_dependencies(command_line_tests Polvane)
polvane_wine_test(command_tests tests/win/MainWindowCommandsTest.cpp)
polvane_wine_test(about_tests tests/win/AboutWindowTest.cpp)
target_link_libraries(about_tests PRIVATE oleacc)  # reads the links as screen readers do
polvane_wine_test(dpi_tests tests/win/DpiTest.cpp)
# Short versions of the long runs; scripts/soak.sh runs the full counts.
polvane_wine_test(soak_tests tests/win/SoakTest.cpp tests/win/KilledRunsTest.cpp)
add_dependencies(soak_tests link_recorder Polvane)

# The layouts again at 125 % and 150 %, with the prefix set to that dpi.
foreach(_dpi 120 144)
  foreach(_test main_window_tests about_tests dpi_tests)
    polvane_add_wine_test(${_test}_at_${_dpi}dpi
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/at_dpi.sh ${_dpi} $<TARGET_FILE:${_test}>)
  endforeach()
endforeach()

# The main window's layout again with a wider face mapped to "MS Shell Dlg"
# (Courier, which Wine finds nowhere and draws in a wider sans face), as
# Windows in another language maps it: no caption is cut.
polvane_add_wine_test(main_window_tests_wide_face
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/with_face.sh Courier $<TARGET_FILE:main_window_tests>
          --gtest_filter=MainWindow.EveryCaptionFitsInItsControl:MainWindow.ControlsSitWhereTheLayoutPutsThem)

# The browser stand-in the link tests register with the shell, and a
# program that notes the policy change notices the saves broadcast.
add_executable(link_recorder WIN32 tests/win/link_recorder.cpp)
target_link_libraries(link_recorder PRIVATE shell32)
add_dependencies(about_tests link_recorder)
add_executable(setting_recorder WIN32 tests/win/setting_recorder.cpp)
add_dependencies(command_tests setting_recorder Polvane)
add_dependencies(command_line_tests setting_recorder)

# Real X input against the real program, read back with Wine's reg.exe.
add_executable(polvane_probe tests/win/probe.cpp)
add_dependencies(polvane_probe Polvane link_recorder)
polvane_add_wine_test(x_input_test
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/x_input_test.sh ${CMAKE_BINARY_DIR})

# What scripts/bench.sh measures with: the floor for launch time, a launch
# timer, and one load and one save against the registry.
add_executable(bare_window WIN32 bench/bare_window.cpp)
add_executable(bare_window_themed WIN32 bench/bare_window.cpp bench/themed.rc)
target_compile_definitions(bare_window_themed PRIVATE BARE_WINDOW_THEMED)
target_link_libraries(bare_window_themed PRIVATE comctl32)
add_executable(bare_window_loaded WIN32 bench/bare_window.cpp bench/themed.rc)
target_compile_definitions(bare_window_loaded PRIVATE BARE_WINDOW_THEMED BARE_WINDOW_LOADED)
target_link_libraries(bare_window_loaded PRIVATE comctl32 ole32 oleaut32 shell32 version)
set_source_files_properties(bench/themed.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/Polvane.manifest")
add_executable(same_window WIN32 bench/same_window.cpp bench/themed.rc)
target_link_libraries(same_window PRIVATE comctl32)
add_executable(same_window_imports WIN32 bench/same_window.cpp bench/themed.rc)
target_compile_definitions(same_window_imports PRIVATE SAME_WINDOW_IMPORTS)
target_link_libraries(same_window_imports PRIVATE comctl32 shell32 ole32 oleaut32 oleacc version)
foreach(_bare bare_window bare_window_themed bare_window_loaded same_window same_window_imports)
  target_link_options(${_bare} PRIVATE -Wl,--gc-sections -s)
endforeach()
add_executable(launch_timer bench/launch_timer.cpp)
# The floor of a command: opens the client key and prints the five values.
add_executable(console_floor bench/console_floor.cpp)
target_link_options(console_floor PRIVATE -Wl,--gc-sections -s)
add_executable(big_pol bench/big_pol.cpp)
target_link_libraries(big_pol PRIVATE polvane_core)
add_executable(registry_bench bench/registry_bench.cpp tests/common/CountingRegistry.cpp
               $<TARGET_OBJECTS:polvane_resources>)
target_link_libraries(registry_bench PRIVATE polvane_core)

# The Windows Installer package of this build's architecture, made by wixl
# from installer/Polvane.wxs.
find_program(WIXL wixl REQUIRED)
if(POLVANE_WINEARCH STREQUAL win64)
  set(_msi_arch x64)
else()
  set(_msi_arch x86)
endif()
set(_homepage ${POLVANE_HOMEPAGE_URL})
if(NOT _homepage)
  file(STRINGS rules/Links.h _line REGEX "^#define POLVANE_HOMEPAGE_URL ")
  string(REGEX REPLACE ".*\"(.*)\"$" "\\1" _homepage "${_line}")
endif()
# The time the release's packages carry, so that two builds of one commit
# give the same bytes: SOURCE_DATE_EPOCH when it is set, else the time of
# the last commit.
set(POLVANE_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(NOT POLVANE_SOURCE_DATE_EPOCH)
  execute_process(COMMAND git -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE POLVANE_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET)
endif()
if(NOT POLVANE_SOURCE_DATE_EPOCH)
  set(POLVANE_SOURCE_DATE_EPOCH 1029110400)  # 12 August 2002, the program's own date
endif()

# Made by cmake/MakeMsi.cmake, the same bytes from the same inputs.
find_program(MSIBUILD msibuild REQUIRED)
find_program(MSIINFO msiinfo REQUIRED)
find_program(FAKETIME faketime REQUIRED)
set(_file_version
    ${POLVANE_VERSION_MAJOR}.${POLVANE_VERSION_MINOR}.${POLVANE_VERSION_BUILD}.${POLVANE_VERSION_REVISION})
function(polvane_msi target version output salt)
  set(sign_msi)
  if(_sign)
    set(sign_msi COMMAND ${_sign} ${output} ${_sign_with})
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -D WIXL=${WIXL} -D MSIBUILD=${MSIBUILD} -D MSIINFO=${MSIINFO}
            -D FAKETIME=${FAKETIME} -D ARCH=${_msi_arch} -D VERSION=${version}
            -D FILE_VERSION=${_file_version} -D EXE=$<TARGET_FILE:Polvane>
            -D CONSOLE_EXE=$<TARGET_FILE:polvane_console>
            -D SOURCES=${CMAKE_SOURCE_DIR} -D HOMEPAGE=${_homepage} -D OUTPUT=${output}
            -D STAGE=${CMAKE_BINARY_DIR}/msi-stage/${target} -D SALT=${salt}
            -D EPOCH=${POLVANE_SOURCE_DATE_EPOCH}
            -P ${CMAKE_SOURCE_DIR}/cmake/MakeMsi.cmake
    ${sign_msi}
    DEPENDS Polvane polvane_console installer/Polvane.wxs policy/Polvane.admx policy/en-US/Polvane.adml
            resources/Polvane.ico cmake/MakeMsi.cmake
    VERBATIM)
  add_custom_target(${target} ${ARGN} DEPENDS ${output})
endfunction()
set(_msi_version ${POLVANE_VERSION_MAJOR}.${POLVANE_VERSION_MINOR}.${POLVANE_VERSION_REVISION})
math(EXPR _next_revision "${POLVANE_VERSION_REVISION} + 1")
set(_msi_next ${POLVANE_VERSION_MAJOR}.${POLVANE_VERSION_MINOR}.${_next_revision})
polvane_msi(msi ${_msi_version} ${CMAKE_BINARY_DIR}/Polvane-${_msi_version}-${_msi_arch}.msi "" ALL)
# For the MSI test: a newer version, and the same version rebuilt from other
# inputs (the salt stands for a change of the program), which must replace it.
polvane_msi(msi_upgrade_test ${_msi_next}
            ${CMAKE_BINARY_DIR}/upgrade-test/Polvane-${_msi_next}-${_msi_arch}.msi "")
polvane_msi(msi_rebuild_test ${_msi_version}
            ${CMAKE_BINARY_DIR}/rebuild-test/Polvane-${_msi_version}-${_msi_arch}.msi rebuilt)
polvane_add_wine_test(msi_install
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/msi_test.sh ${CMAKE_BINARY_DIR}
                 Polvane-${_msi_version}-${_msi_arch}.msi
                 rebuild-test/Polvane-${_msi_version}-${_msi_arch}.msi
                 upgrade-test/Polvane-${_msi_next}-${_msi_arch}.msi ${_homepage})

# Authenticode signing of a release (scripts/sign.sh), built in a folder of
# its own with a throwaway certificate.
add_test(NAME sign COMMAND bash ${CMAKE_SOURCE_DIR}/tests/sign_test.sh ${CMAKE_SOURCE_DIR}
                                 ${CMAKE_BINARY_DIR}/sign-test)

# The release, from the 32-bit build: one ZIP with the program, the Group
# Policy templates in the layout of a PolicyDefinitions folder, the README
# with its pictures, and the licence.
#   cmake --build --preset windows --target package
if(POLVANE_WINEARCH STREQUAL win32)
  install(TARGETS Polvane polvane_console RUNTIME DESTINATION .)
  install(FILES policy/Polvane.admx DESTINATION PolicyDefinitions)
  install(FILES policy/en-US/Polvane.adml DESTINATION PolicyDefinitions/en-US)
  install(FILES README.md LICENSE DESTINATION .)
  install(FILES deploy/startup.cmd deploy/Detect-PolvanePolicies.ps1
                deploy/Get-PolvaneCompliance.ps1 DESTINATION deploy)
  install(DIRECTORY docs/screenshots DESTINATION docs)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Polvane)
  set(CPACK_PACKAGE_VENDOR Krestel)
  set(_package "Polvane-${POLVANE_VERSION_MAJOR}.${POLVANE_VERSION_MINOR}.${POLVANE_VERSION_REVISION}-win32")
  set(CPACK_PACKAGE_FILE_NAME ${_package})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  # Polvane.exe is linked stripped: the ZIP carries the very bytes that were
  # tested (and signed), which stripping again would restamp.
  set(CPACK_STRIP_FILES OFF)
  # libarchive dates every entry from SOURCE_DATE_EPOCH when it is set.
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake)
  file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
       "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n"
       "  set(ENV{SOURCE_DATE_EPOCH} ${POLVANE_SOURCE_DATE_EPOCH})\n"
       "endif()\n")
  include(CPack)

  add_test(NAME package_contents
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package_test.sh ${CMAKE_BINARY_DIR}
                   ${_package}.zip)
endif()
