# The targets every folder contributes to.
#   velmora_core     windows.h-free logic; built for Windows and natively (tests under ASan/UBSan)
#   velmora_common_win  the Windows code both programs share (common/)
#   velmora_app      the desktop program's Windows code, linked into Velmora.exe and its tests

option(VELMORA_SANITIZE "Build the native core and its tests with ASan and UBSan" OFF)

set(VELMORA_WARNINGS -Wall -Wextra)

# The fuzz build: the core instrumented for libFuzzer (clang only); only the fuzz targets
# are built from tests/.
option(VELMORA_FUZZ "Build the native core with libFuzzer instrumentation and the fuzz targets" OFF)
if(VELMORA_FUZZ AND NOT WIN32)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

if(VELMORA_SANITIZE AND NOT WIN32)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()

add_library(velmora_core STATIC)
target_include_directories(velmora_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(velmora_core PRIVATE ${VELMORA_WARNINGS})


if(WIN32)
    set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

    # x86 (i686) or x64: names the installer, the manifests' processorArchitecture and the
    # Wine prefix kind this tree's programs run in.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(VELMORA_ARCH x64)
        set(VELMORA_MANIFEST_ARCH amd64)
    else()
        set(VELMORA_ARCH x86)
        set(VELMORA_MANIFEST_ARCH x86)
    endif()
    # Every test, discovery included, runs through this tree's own wrapper: the tree's Wine
    # prefix, and the loader of the tree's architecture.
    file(WRITE ${CMAKE_BINARY_DIR}/velmora-arch "${VELMORA_ARCH}\n")
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY CONTENT [[
#!/usr/bin/env bash
# Written by CMake: runs a program in this build tree's Wine prefix.
export VELMORA_BUILD='@CMAKE_BINARY_DIR@' VELMORA_ARCH=@VELMORA_ARCH@
exec '@PROJECT_SOURCE_DIR@/tools/wine-run.sh' "$@"
]])
    file(CHMOD ${CMAKE_BINARY_DIR}/wine-run.sh PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
         GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
    # For scripts that ctest runs directly and that source tools/wine-env.sh.
    set(VELMORA_WINE_ENV "VELMORA_BUILD=${CMAKE_BINARY_DIR}" "VELMORA_ARCH=${VELMORA_ARCH}")
    # Wide-character entry points, Windows 7+ APIs, no min/max macros.
    set(VELMORA_WIN_DEFINES UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

    add_library(velmora_win_common INTERFACE)
    target_compile_definitions(velmora_win_common INTERFACE ${VELMORA_WIN_DEFINES})
    target_link_libraries(velmora_win_common INTERFACE velmora_core)

    # The programs' wide entry points (wWinMain, wmain); test binaries keep gtest's main.
    add_library(velmora_wide_entry INTERFACE)
    target_compile_options(velmora_wide_entry INTERFACE -municode)
    target_link_options(velmora_wide_entry INTERFACE -municode)

    # The Windows code both programs share (common/).
    add_library(velmora_common_win STATIC)
    target_compile_options(velmora_common_win PRIVATE ${VELMORA_WARNINGS})
    target_link_libraries(velmora_common_win PUBLIC velmora_win_common)

    add_library(velmora_app STATIC)
    target_compile_options(velmora_app PRIVATE ${VELMORA_WARNINGS})
    target_link_libraries(velmora_app PUBLIC velmora_win_common velmora_common_win ws2_32 bcrypt comctl32)
endif()

# velmora_add_tests(NAME <name> SOURCES <files> [LIBS <libs>] [SHARED_STATE] [NEEDS_SNTP_SERVER]
#                   [PROPERTIES <ctest properties>])
# A GoogleTest binary whose cases each become one ctest test (run under Wine for Windows builds).
# SHARED_STATE: the cases use what exists once per Wine prefix (the pipe \\.\pipe\Velmora,
# the real settings key and Run value, the single-instance objects, the installed service),
# so no two such cases run at once.
# NEEDS_SNTP_SERVER: the cases talk to tools/sntp_test_server.py, started once per test run.
# PROPERTIES: more properties for every case.
function(velmora_add_tests)
    cmake_parse_arguments(T "NEEDS_SNTP_SERVER;SHARED_STATE" "NAME" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    set(fixtures ${T_PROPERTIES})
    if(T_NEEDS_SNTP_SERVER)
        list(APPEND fixtures FIXTURES_REQUIRED sntp_server)
    endif()
    if(T_SHARED_STATE)
        list(APPEND fixtures RESOURCE_LOCK ${VELMORA_SHARED_STATE_LOCK})
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_compile_options(${T_NAME} PRIVATE ${VELMORA_WARNINGS})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    if(WIN32)
        target_link_libraries(${T_NAME} PRIVATE velmora_win_common)
        set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    else()
        target_link_libraries(${T_NAME} PRIVATE velmora_core)
    endif()
    # Discovery at test time: it needs the Wine prefix, which the test runner prepares.
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES TIMEOUT 300 ENVIRONMENT "VELMORA_SNTP_CONTROL=127.0.0.1:${VELMORA_SNTP_CONTROL_PORT}" ${fixtures})
endfunction()

set(VELMORA_SHARED_STATE_LOCK velmora_shared_state)
set(VELMORA_SNTP_CONTROL_PORT 47123 CACHE STRING "Control port of the local SNTP test server")
