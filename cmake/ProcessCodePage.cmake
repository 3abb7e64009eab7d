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

if(WIN32 AND KIVMACRO_PROCESS_CODE_PAGE)
  # A plain token, so that the resource compiler and C++ both take it unquoted.
  if(NOT KIVMACRO_PROCESS_CODE_PAGE MATCHES "^[A-Za-z]+(-[A-Za-z0-9]+)*$")
    message(FATAL_ERROR "KIVMACRO_PROCESS_CODE_PAGE=${KIVMACRO_PROCESS_CODE_PAGE} is not a "
                        "locale name such as ja-JP.")
  endif()
  # Seen by every target: the tool's resource file picks its manifest by it,
  # and the end-to-end test expects the element only when it is there.
  add_compile_definitions(KIVMACRO_PROCESS_CODE_PAGE=${KIVMACRO_PROCESS_CODE_PAGE})
  set(code_page_element "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">${KIVMACRO_PROCESS_CODE_PAGE}</activeCodePage>")

  # The tool's own manifest with the element added; the resource file takes
  # it from the generated folder, which is on the tool's include path.
  set(tool_manifest ${PROJECT_SOURCE_DIR}/src/app/kivmacro.manifest)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${tool_manifest})
  file(READ ${tool_manifest} manifest)
  string(REPLACE "<windowsSettings>" "<windowsSettings>\n      ${code_page_element}"
         manifest_with_code_page "${manifest}")
  if(manifest_with_code_page STREQUAL manifest)
    message(FATAL_ERROR "${tool_manifest} has no <windowsSettings> to add activeCodePage to.")
  endif()
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/kivmacro-code-page.manifest
       CONTENT "${manifest_with_code_page}" @ONLY)

  # The other programs: a manifest of that element alone. MSVC's linker merges
  # it into the manifest it writes anyway; MinGW writes none, so there it is
  # the whole manifest, put in by a resource file.
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/process-code-page.manifest CONTENT
"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>
<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">
  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">
    <windowsSettings>
      ${code_page_element}
    </windowsSettings>
  </application>
</assembly>
" @ONLY)
  # Enabled here, above every directory whose programs take it.
  enable_language(RC)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/process-code-page.rc CONTENT
"#include <windows.h>
CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"process-code-page.manifest\"
" @ONLY)
endif()

# Gives the named targets (those that exist) the code page, when set. A
# target that compiles the tool's resource file has its manifest from there.
function(kivmacro_process_code_page)  # targets...
  if(NOT (WIN32 AND KIVMACRO_PROCESS_CODE_PAGE))
    return()
  endif()
  foreach(target IN LISTS ARGN)
    if(NOT TARGET ${target})
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    if(sources MATCHES "(^|[/;])kivmacro\\.rc(;|$)")
      continue()
    endif()
    if(MSVC)
      target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/process-code-page.manifest)
    else()
      target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/process-code-page.rc)
    endif()
  endforeach()
endfunction()
