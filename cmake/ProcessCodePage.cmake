# A program's manifest may ask Windows for a code page (activeCodePage): the
# tests use it to run the tool and its tests under system code pages other
# than the Japanese one the machine has.
#
# KIVMACRO_PROCESS_CODE_PAGE is for CI on a Windows that is not Japanese. The
# tests, like the tool, expect the ANSI code page 932, and a hosted runner's
# system locale is en-US (1252), changed only by a reboot. Since Windows
# Server 2022 and Windows 11 a manifest's activeCodePage may name a locale,
# and the process then gets that locale's code page (older Windows ignores
# the name; an unknown name gives UTF-8; either way the tests say so).
#   cmake --preset msvc-x64 -DKIVMACRO_PROCESS_CODE_PAGE=ja-JP
# Set, it goes into the manifest of every program the tests run. Empty, the
# default and what is released, leaves every manifest as it is: the tool
# takes the code page of its user's Windows.
set(KIVMACRO_PROCESS_CODE_PAGE "" CACHE STRING
    "CI only: a locale (e.g. ja-JP) whose ANSI code page the tested programs ask for in their manifests")

# Writes into `dir` the tool's manifest asking for `code_page`
# (kivmacro-code-page.manifest, which the tool's resource file takes when
# KIVMACRO_PROCESS_CODE_PAGE is defined for it), and a manifest of that
# element alone with a resource file putting it in (process-code-page.*).
function(kivmacro_write_code_page_manifests dir code_page)
  set(element "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">${code_page}</activeCodePage>")
  set(tool_manifest ${PROJECT_SOURCE_DIR}/src/app/kivmacro.manifest)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tool_manifest})
  file(READ ${tool_manifest} manifest)
  string(REPLACE "<windowsSettings>" "<windowsSettings>\n      ${element}" with_code_page "${manifest}")
  if(with_code_page STREQUAL manifest)
    message(FATAL_ERROR "${tool_manifest} has no <windowsSettings> to add activeCodePage to.")
  endif()
  file(CONFIGURE OUTPUT ${dir}/kivmacro-code-page.manifest CONTENT "${with_code_page}" @ONLY)
  # MSVC's linker merges this into the manifest it writes anyway; MinGW
  # writes none, so there it is the whole manifest, put in by a resource file.
  file(CONFIGURE OUTPUT ${dir}/process-code-page.manifest CONTENT
"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>
<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">
  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">
    <windowsSettings>
      ${element}
    </windowsSettings>
  </application>
</assembly>
" @ONLY)
  file(CONFIGURE OUTPUT ${dir}/process-code-page.rc CONTENT
"#include <windows.h>
CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"process-code-page.manifest\"
" @ONLY)
endfunction()

if(WIN32)
  # Tests and the tool built for a system whose code page is UTF-8.
  enable_language(RC)
  kivmacro_write_code_page_manifests(${CMAKE_BINARY_DIR}/generated/utf8 UTF-8)
endif()

if(WIN32 AND KIVMACRO_PROCESS_CODE_PAGE)
  # A plain token, so that the resource compiler and C++ both take it unquoted.
  if(NOT KIVMACRO_PROCESS_CODE_PAGE MATCHES "^[A-Za-z]+(-[A-Za-z0-9]+)*$")
    message(FATAL_ERROR "KIVMACRO_PROCESS_CODE_PAGE=${KIVMACRO_PROCESS_CODE_PAGE} is not a "
                        "locale name such as ja-JP.")
  endif()
  # Seen by every target: the tool's resource file picks its manifest by it,
  # and the end-to-end test expects the element only when it is there.
  add_compile_definitions(KIVMACRO_PROCESS_CODE_PAGE=${KIVMACRO_PROCESS_CODE_PAGE})
  kivmacro_write_code_page_manifests(${CMAKE_BINARY_DIR}/generated ${KIVMACRO_PROCESS_CODE_PAGE})
endif()

# Gives the named targets (those that exist) the code page asked for in the
# manifests of `dir`. A target that compiles the tool's resource file has its
# manifest from there.
function(kivmacro_code_page_from dir)  # targets...
  foreach(target IN LISTS ARGN)
    if(NOT TARGET ${target})
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    if(sources MATCHES "(^|[/;])kivmacro\\.rc(;|$)")
      continue()
    endif()
    if(MSVC)
      target_sources(${target} PRIVATE ${dir}/process-code-page.manifest)
    else()
      target_sources(${target} PRIVATE ${dir}/process-code-page.rc)
    endif()
  endforeach()
endfunction()

# The same for KIVMACRO_PROCESS_CODE_PAGE, when set.
function(kivmacro_process_code_page)  # targets...
  if(WIN32 AND KIVMACRO_PROCESS_CODE_PAGE)
    kivmacro_code_page_from(${CMAKE_BINARY_DIR}/generated ${ARGN})
  endif()
endfunction()
