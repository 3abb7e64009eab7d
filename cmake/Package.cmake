# The release: one ZIP to unpack anywhere, the tool and its files side by side.
#   cmake --build --preset mingw-x64 --target package
# Read with Notepad: CR LF, which configure_file would otherwise turn into LF
# (and Notepad before Windows 10 1809 shows LF-only text as one line).
configure_file(${PROJECT_SOURCE_DIR}/packaging/README-ja.txt.in
               ${CMAKE_BINARY_DIR}/packaging/README-ja.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
install(TARGETS kivmacro kivmacro-check RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/packaging/README-ja.txt
              ${PROJECT_SOURCE_DIR}/packaging/screenshot.png
              ${PROJECT_SOURCE_DIR}/packaging/kivmacro.txt
        DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(package_system win64)
else()
  set(package_system win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kivmacro)
set(CPACK_PACKAGE_VERSION ${KIVMACRO_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME kivmacro-${KIVMACRO_VERSION_TEXT}-${package_system})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
