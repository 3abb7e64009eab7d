# KIVMACRO_VERSION_TEXT: the release tag ("v1.2.3" → "1.2.3", with "-N-gHASH"
# after it past the tag), or the project version and commit when nothing is
# tagged; "-dirty" for uncommitted changes. Written to version.h for the
# resource files, and configured again after each commit.
find_package(Git QUIET)
set(KIVMACRO_VERSION_TEXT "${PROJECT_VERSION}")
if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --tags --dirty --match "v[0-9]*"
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE tagged ERROR_QUIET)
  if(tagged EQUAL 0)
    string(REGEX REPLACE "^v" "" KIVMACRO_VERSION_TEXT "${described}")
  else()
    execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(described)
      set(KIVMACRO_VERSION_TEXT "${PROJECT_VERSION}-g${described}")
    endif()
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               "${PROJECT_SOURCE_DIR}/.git/HEAD" "${PROJECT_SOURCE_DIR}/.git/index")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)
