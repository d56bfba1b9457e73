# Makes one Windows Installer package, byte for byte the same from the same
# inputs wherever it is built. Run as a script by cmake/Windows.cmake:
#   cmake -D WIXL=... -D MSIBUILD=... -D MSIINFO=... -D FAKETIME=... -D ARCH=x86|x64
#         -D VERSION=1.0.4 -D FILE_VERSION=1.0.0.4 -D EXE=... -D CONSOLE_EXE=... -D SOURCES=...
#         -D HOMEPAGE=... -D OUTPUT=... -D STAGE=... -D EPOCH=... [-D SALT=...]
#         -P MakeMsi.cmake
# wixl stamps the package with the time it runs and its cabinet with the
# files' times, and draws new codes each run: here the time is EPOCH (the
# source's: SOURCE_DATE_EPOCH, else the last commit's), the files are staged
# with that time, and the product and package codes are drawn from the
# inputs.
# Then the File table gets both programs' version, which wixl leaves empty,
# and the upgrade detection includes the same version, so that a rebuilt
# package of it replaces the installed one.
cmake_minimum_required(VERSION 3.25)

set(epoch "${EPOCH}")

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/en-US")
file(COPY_FILE "${EXE}" "${STAGE}/Polvane.exe")
file(COPY_FILE "${CONSOLE_EXE}" "${STAGE}/Polvane.com")
file(COPY_FILE "${SOURCES}/policy/Polvane.admx" "${STAGE}/Polvane.admx")
file(COPY_FILE "${SOURCES}/policy/en-US/Polvane.adml" "${STAGE}/en-US/Polvane.adml")
file(COPY_FILE "${SOURCES}/resources/Polvane.ico" "${STAGE}/Polvane.ico")
foreach(staged Polvane.exe Polvane.com Polvane.admx en-US/Polvane.adml Polvane.ico)
  execute_process(COMMAND touch -d "@${epoch}" "${STAGE}/${staged}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(inputs "${ARCH};${VERSION};${HOMEPAGE};${SALT}")
foreach(input "${STAGE}/Polvane.exe" "${STAGE}/Polvane.com" "${STAGE}/Polvane.admx" "${STAGE}/en-US/Polvane.adml"
              "${STAGE}/Polvane.ico" "${SOURCES}/installer/Polvane.wxs")
  file(SHA256 "${input}" hash)
  list(APPEND inputs "${hash}")
endforeach()
set(namespace 5B7E1E6A-3D55-4C4A-9C0B-6E2B0F9D4A21)
string(UUID product NAMESPACE ${namespace} NAME "product;${inputs}" TYPE SHA1 UPPER)
string(UUID package NAMESPACE ${namespace} NAME "package;${inputs}" TYPE SHA1 UPPER)

# wixl finds the files a package holds by paths relative to where it runs.
get_filename_component(stage_folder "${STAGE}" DIRECTORY)
get_filename_component(stage_name "${STAGE}" NAME)
execute_process(COMMAND date -u -d "@${epoch}" "+%Y-%m-%d %H:%M:%S" OUTPUT_VARIABLE when
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(at "${CMAKE_COMMAND}" -E env TZ=UTC "${FAKETIME}" -f "@${when}")
execute_process(
  COMMAND ${at} "${WIXL}" -a ${ARCH} -D Arch=${ARCH} -D Version=${VERSION}
          -D ProductCode=${product} -D Exe=${stage_name}/Polvane.exe
          -D ConsoleExe=${stage_name}/Polvane.com -D PolicyFolder=${stage_name}
          -D Icon=${stage_name}/Polvane.ico -D HomePage=${HOMEPAGE}
          -o "${OUTPUT}" "${SOURCES}/installer/Polvane.wxs"
  WORKING_DIRECTORY "${stage_folder}" COMMAND_ERROR_IS_FATAL ANY)

execute_process(COMMAND "${MSIINFO}" suminfo "${OUTPUT}" OUTPUT_VARIABLE summary
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "Template: ([^\n]*)" template "${summary}")
set(template "${CMAKE_MATCH_1}")
execute_process(COMMAND "${MSIINFO}" export "${OUTPUT}" Upgrade OUTPUT_VARIABLE upgrade
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "({[0-9A-F-]+})\t\t[^\t]*\t\t1\t\tWIX_UPGRADE_DETECTED" row "${upgrade}")
if(NOT row)
  message(FATAL_ERROR "no upgrade detection row in ${OUTPUT}:\n${upgrade}")
endif()
set(upgrade_code ${CMAKE_MATCH_1})
set(inclusive 513)  # msidbUpgradeAttributesMigrateFeatures | VersionMaxInclusive
# An INSTALLDIR given on the command line wins over the remembered folder,
# which AppSearch would otherwise put in its place: it is kept aside before
# AppSearch (50) and put back after it. Add/Remove Programs is told the
# folder (ARPINSTALLLOCATION) once costing has resolved it. Type 51 sets a
# property from formatted text; wixl writes no such action itself.
set(set_property 51)
set(custom_actions
    "'KeepGivenInstallDir', ${set_property}, 'POLVANE_GIVEN_DIR', '[INSTALLDIR]'"
    "'UseGivenInstallDir', ${set_property}, 'INSTALLDIR', '[POLVANE_GIVEN_DIR]'"
    "'SetArpInstallLocation', ${set_property}, 'ARPINSTALLLOCATION', '[INSTALLDIR]'")
# Each step: sequence table, action, condition, place.
set(steps
    "InstallUISequence|KeepGivenInstallDir|INSTALLDIR|49"
    "InstallUISequence|UseGivenInstallDir|POLVANE_GIVEN_DIR|51"
    "InstallExecuteSequence|KeepGivenInstallDir|INSTALLDIR|49"
    "InstallExecuteSequence|UseGivenInstallDir|POLVANE_GIVEN_DIR|51"
    "InstallExecuteSequence|SetArpInstallLocation||1001"
    "InstallExecuteSequence|RemoveEnvironmentStrings||3300"
    "InstallExecuteSequence|WriteEnvironmentStrings||5200")
set(queries
    "UPDATE `File` SET `Version` = '${FILE_VERSION}' WHERE `File` = 'Polvane.exe' OR `File` = 'Polvane.com'"
    "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
    "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${upgrade_code}', '${VERSION}', ${inclusive}, 'WIX_UPGRADE_DETECTED')"
    # The x64 package had an upgrade code of its own before the two became
    # one product line: an x64 Polvane installed under it is replaced too.
    "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{95CFA7C7-85DE-4CF8-B097-87BA5B368763}', '${VERSION}', ${inclusive}, 'WIX_UPGRADE_DETECTED')")
# The optional feature's PATH entry, which wixl cannot write: the system
# (*) PATH gets the folder at its end ([~];), taken away again when the
# component is removed (-), and made where there is none (=).
list(APPEND queries
     "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
     "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('PathEntry', '=-*PATH', '[~]\\;[INSTALLDIR]', 'PathEntry')")
foreach(action IN LISTS custom_actions)
  list(APPEND queries "INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES (${action})")
endforeach()
foreach(step IN LISTS steps)
  string(REPLACE "|" ";" fields "${step}")
  list(GET fields 0 table)
  list(GET fields 1 action)
  list(GET fields 2 condition)
  list(GET fields 3 place)
  list(APPEND queries "INSERT INTO `${table}` (`Action`, `Condition`, `Sequence`) VALUES ('${action}', '${condition}', ${place})")
endforeach()
foreach(query IN LISTS queries)
  execute_process(COMMAND ${at} "${MSIBUILD}" "${OUTPUT}" -q "${query}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
execute_process(COMMAND ${at} "${MSIBUILD}" "${OUTPUT}" -s "Polvane ${VERSION}" Krestel
                        "${template}" "{${package}}"
                COMMAND_ERROR_IS_FATAL ANY)
