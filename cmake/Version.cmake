# SPIRELO_VERSION: the project version, plus the commit count and short hash when built from a git
# tree (0.1.0+git187.217c7ec), so a package built from a later commit sorts above an earlier one.
# A tree without git takes the suffix from a `tree-version` file at its top (written by the
# README's git archive command), else it is the plain project version.
# SPIRELO_VERSION_DATE: the commit's date (RFC 2822), else the configure time, for the changelog.
set(SPIRELO_VERSION "${PROJECT_VERSION}")
set(SPIRELO_VERSION_COMMIT "")
string(TIMESTAMP SPIRELO_VERSION_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)

find_package(Git QUIET)
set(_tree_suffix "")
if(GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --show-toplevel
    WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE _git_top ERROR_VARIABLE _git_error
    RESULT_VARIABLE _git_rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  # A tree unpacked inside some other git work tree is not a git tree of its own.
  if(_git_rc EQUAL 0 AND NOT _git_top STREQUAL "")
    file(REAL_PATH "${_git_top}" _git_top)
    file(REAL_PATH "${PROJECT_SOURCE_DIR}" _source_top)
  endif()
  if(_git_rc EQUAL 0 AND _git_top STREQUAL _source_top)
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-list --count HEAD
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE _git_count RESULT_VARIABLE _rc1
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%h%n%cD --abbrev=7
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE _git_last RESULT_VARIABLE _rc2
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(_rc1 EQUAL 0 AND _rc2 EQUAL 0 AND _git_last MATCHES "^([0-9a-f]+)\n(.+)$")
      set(_tree_suffix "git${_git_count}.${CMAKE_MATCH_1}")
      set(SPIRELO_VERSION_COMMIT "${CMAKE_MATCH_1}")
      set(SPIRELO_VERSION_DATE "${CMAKE_MATCH_2}")
    endif()
    # A commit, a checkout or a rebase configures again at the next build, so the version follows.
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --symbolic-full-name HEAD
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE _ref OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    foreach(_what HEAD logs/HEAD ${_ref} packed-refs)
      execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --git-path ${_what}
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(NOT IS_ABSOLUTE "${_path}")
        set(_path "${PROJECT_SOURCE_DIR}/${_path}")
      endif()
      if(EXISTS "${_path}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_path}")
      endif()
    endforeach()
  elseif(_git_error MATCHES "dubious ownership")
    message(WARNING "git refuses this tree (another user's): the version is the plain ${PROJECT_VERSION}")
  endif()
endif()
if(_tree_suffix STREQUAL "" AND EXISTS "${PROJECT_SOURCE_DIR}/tree-version")
  file(STRINGS "${PROJECT_SOURCE_DIR}/tree-version" _line LIMIT_COUNT 1)
  if(_line MATCHES "^git([0-9]+)\\.([0-9a-f]+)$")
    set(_tree_suffix "${_line}")
    set(SPIRELO_VERSION_COMMIT "${CMAKE_MATCH_2}")
  else()
    message(WARNING "tree-version holds \"${_line}\", not gitCOUNT.HASH: the version is the plain ${PROJECT_VERSION}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tree-version")
endif()
if(NOT _tree_suffix STREQUAL "")
  string(APPEND SPIRELO_VERSION "+${_tree_suffix}")
endif()
message(STATUS "Spirelo version ${SPIRELO_VERSION}")
