# spirelo_logic(<name> DEPS <targets...>)
#   The logic library of a folder: every .cpp directly in the folder, no Qt.
#   A folder with no sources yet gives an interface library so dependants still link.
function(spirelo_logic name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# spirelo_ui(<name> DEPS <targets...>)
#   The Qt side of a folder: every .cpp in its ui/ subfolder, with moc.
function(spirelo_ui name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.h)
  if(srcs)
    add_library(${name} STATIC ${srcs} ${hdrs})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} Qt6::Widgets)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} Qt6::Widgets)
  endif()
endfunction()

# spirelo_test(<subsystem> DEPS <targets...> [LABELS <labels...>] [ENV <k=v...>])
#   One GoogleTest executable from every .cpp in tests/<subsystem>/.
function(spirelo_test sub)
  cmake_parse_arguments(ARG "" "" "DEPS;LABELS;ENV" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  set(exe test_${sub})
  add_executable(${exe} ${srcs} ${PROJECT_SOURCE_DIR}/tests/private_sections.cpp)
  target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  # Window and GL tests bring their own main (one long-lived QApplication); the rest use gtest's.
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/main.cpp)
    set_target_properties(${exe} PROPERTIES AUTOMOC ON)
  else()
    target_link_libraries(${exe} PRIVATE GTest::gtest_main)
  endif()
  if(NOT ARG_LABELS)
    set(ARG_LABELS ${sub})
  endif()
  gtest_discover_tests(${exe}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "${ARG_ENV}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# spirelo_embed(<target> <file> <include name>)
#   Compiles a file's bytes into a target: <include name> in the target's binary folder holds
#   them as "0x..," text. It is rewritten only when the bytes change, so that a configure with
#   nothing changed reruns no generator step of the target.
function(spirelo_embed target file inc)
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${inc} CONTENT "${bytes}\n" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
