# Flags every target of ours gets; third-party code (GoogleTest built from
# source for the Windows builds) is kept out of the warnings-as-errors net.
add_library(kivmacro_options INTERFACE)

# With Visual Studio too one self-contained exe: the C runtime linked in, as
# MinGW's is, so that no redistributable is needed. GoogleTest's older CMake
# code follows the setting through the policy default.
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
set(CMAKE_POLICY_DEFAULT_CMP0091 NEW)

if(MSVC)
  target_compile_options(kivmacro_options INTERFACE /W4 /WX /utf-8 /permissive-)
  # The C runtime's "use the _s variant" warnings would fail std::getenv and friends.
  target_compile_definitions(kivmacro_options INTERFACE _CRT_SECURE_NO_WARNINGS)
else()
  target_compile_options(kivmacro_options INTERFACE -Wall -Wextra -Wpedantic -Werror)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports these inside libstdc++'s own string code at -O2 and above
    # (GCC bugs 105329 and 105651); they say nothing about ours.
    target_compile_options(kivmacro_options INTERFACE -Wno-restrict -Wno-maybe-uninitialized)
  endif()
endif()

if(WIN32)
  # Wide-character Win32 by default; the ANSI entry points are named explicitly
  # where the game client or the stored files need CP932.
  target_compile_definitions(kivmacro_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
  if(MINGW)
    # One self-contained exe: no MinGW runtime DLLs to ship beside it.
    target_link_options(kivmacro_options INTERFACE -static -static-libgcc -static-libstdc++)
  endif()
endif()

if(KIVMACRO_SANITIZE)
  target_compile_options(kivmacro_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kivmacro_options INTERFACE -fsanitize=address,undefined)
endif()

# Line counts (gcov data beside the objects) for the coverage figure that
# scripts/test-all gives from the linux-debug and mingw-x64-coverage tests.
# MinGW's --coverage links libgcov by itself. The programs under Wine, the
# tool started by the end-to-end tests included, write their counts at exit
# to the objects' absolute Unix paths as compiled: Wine opens a path that
# starts with "/" as a Unix one whatever the current drive, and libgcov makes
# the folders, so the counts land beside the .gcno files with no GCOV_PREFIX.
# A process ended by TerminateProcess writes none. Only functions from src/
# get counters, wherever they are compiled: the inline ones of its headers are
# also in the tests' objects (the linker may keep those copies), and counters
# in the tests, GoogleTest and the standard library would only add work at the
# exit of every test process.
option(KIVMACRO_COVERAGE "Count executed lines of src/ with gcov (GCC)" OFF)
if(KIVMACRO_COVERAGE)
  target_compile_options(kivmacro_options INTERFACE
    --coverage -fprofile-filter-files=^${PROJECT_SOURCE_DIR}/src/)
  target_link_options(kivmacro_options INTERFACE --coverage)
endif()

if(KIVMACRO_FUZZ)
  # Coverage for libFuzzer in everything the targets link; the fuzzer's own
  # main() is linked into the targets alone.
  target_compile_options(kivmacro_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
