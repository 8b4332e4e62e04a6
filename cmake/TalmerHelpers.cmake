# Helpers that keep the per-folder CMakeLists short.

# A stand-in for a closed platform component: its own shared library, like the
# component it stands in for. Everything its headers declare is its API, so it
# keeps default symbol visibility.
#   talmer_add_platform_library(<target> ALIAS <Name> SOURCES ... HEADERS ... [INTERNAL_HEADERS ...]
#                               [LINKS ...] [PRIVATE_LINKS ...])
# HEADERS are installed; INTERNAL_HEADERS are not.
function(talmer_add_platform_library target)
  cmake_parse_arguments(ARG "" "ALIAS" "SOURCES;HEADERS;INTERNAL_HEADERS;LINKS;PRIVATE_LINKS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES} ${ARG_HEADERS} ${ARG_INTERNAL_HEADERS})
  add_library(Talmer::${ARG_ALIAS} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${ARG_ALIAS}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${TALMER_INCLUDE_INSTALL_DIR}>)
  target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
  install(TARGETS ${target} EXPORT TalmerTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${ARG_HEADERS} DESTINATION ${TALMER_INCLUDE_INSTALL_DIR})
endfunction()

# Sources of the system library. They are compiled once into the object library
# talmer_objects: the shared library hosts link is made of these objects, and the
# tests link the objects directly so that they can reach unexported classes too.
#   talmer_system_sources(SOURCES ... [HEADERS ...] [INSTALL_HEADERS ...])
# INSTALL_HEADERS are the headers a host sees; HEADERS stay inside the library.
function(talmer_system_sources)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;INSTALL_HEADERS" ${ARGN})
  target_sources(talmer_objects PRIVATE ${ARG_SOURCES} ${ARG_HEADERS} ${ARG_INSTALL_HEADERS})
  set_property(GLOBAL APPEND PROPERTY TALMER_SYSTEM_INCLUDE_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARG_INSTALL_HEADERS)
    install(FILES ${ARG_INSTALL_HEADERS} DESTINATION ${TALMER_INCLUDE_INSTALL_DIR})
  endif()
endfunction()

# One QtTest executable per unit, run headless, labelled by its folder.
#   talmer_add_test(<name> LABEL <folder> SOURCES ... [LIBS ...] [ENVIRONMENT ...] [BOTH_DATABASES])
# Test code links the system library's objects unless it says NO_SYSTEM.
# BOTH_DATABASES runs it a second time, as <name>_pg, on PostgreSQL.
function(talmer_add_test name)
  cmake_parse_arguments(ARG "NO_SYSTEM;BOTH_DATABASES" "LABEL;TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE talmer_testsupport ${ARG_LIBS})
  if(NOT ARG_NO_SYSTEM)
    target_link_libraries(${name} PRIVATE talmer_objects)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABEL};sqlite"
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "${TALMER_TEST_ENVIRONMENT};${ARG_ENVIRONMENT}")
  if(ARG_BOTH_DATABASES)
    add_test(NAME ${name}_pg COMMAND ${name})
    set_tests_properties(${name}_pg PROPERTIES
      LABELS "${ARG_LABEL};postgresql"
      TIMEOUT ${ARG_TIMEOUT}
      FIXTURES_REQUIRED pgserver
      ENVIRONMENT "${TALMER_TEST_ENVIRONMENT};${ARG_ENVIRONMENT};TALMER_TEST_BACKEND=postgresql;TALMER_TEST_PG_STATE=${TALMER_PG_STATE}")
  endif()
endfunction()
