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

# A layer of the system library: an object library of one folder, with that
# folder as its include directory. USES names the lower layers it may include
# (and nothing else is on its include path, so a wrong-way include does not
# compile); LINKS the platform and Qt libraries it calls.
#   talmer_add_layer(<name> SOURCES ... [HEADERS ...] [INSTALL_HEADERS ...]
#                    [USES <layer> ...] [LINKS ...])
# INSTALL_HEADERS are the headers a host sees; HEADERS stay inside the library.
# Every layer ends up in the one shared library the hosts link (src/CMakeLists.txt).
function(talmer_add_layer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;HEADERS;INSTALL_HEADERS;USES;LINKS" ${ARGN})
  set(target talmer_${name})
  add_library(${target} OBJECT ${ARG_SOURCES} ${ARG_HEADERS} ${ARG_INSTALL_HEADERS})
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_compile_definitions(${target} PRIVATE TALMER_BUILDING_LIBRARY)
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  set(closure ${name})
  foreach(lower IN LISTS ARG_USES)
    if(NOT TARGET talmer_${lower})
      message(FATAL_ERROR "layer ${name} uses ${lower}, which is not defined below it")
    endif()
    target_link_libraries(${target} PUBLIC talmer_${lower})
    get_property(lower_closure GLOBAL PROPERTY TALMER_LAYER_CLOSURE_${lower})
    list(APPEND closure ${lower_closure})
  endforeach()
  list(REMOVE_DUPLICATES closure)
  set_property(GLOBAL PROPERTY TALMER_LAYER_CLOSURE_${name} ${closure})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
  set_property(GLOBAL APPEND PROPERTY TALMER_LAYERS ${name})
  set_property(GLOBAL APPEND PROPERTY TALMER_SYSTEM_INCLUDE_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARG_INSTALL_HEADERS)
    install(FILES ${ARG_INSTALL_HEADERS} DESTINATION ${TALMER_INCLUDE_INSTALL_DIR})
  endif()
endfunction()

# Links a program with a layer and everything below it: the objects of each
# (object libraries pass on their include paths, not their objects).
#   talmer_link_layer(<target> <layer>)
function(talmer_link_layer target layer)
  get_property(closure GLOBAL PROPERTY TALMER_LAYER_CLOSURE_${layer})
  if(NOT closure)
    message(FATAL_ERROR "no layer ${layer}")
  endif()
  target_link_libraries(${target} PRIVATE talmer_${layer})
  foreach(each IN LISTS closure)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:talmer_${each}>)
  endforeach()
endfunction()

# One QtTest executable per unit, run headless, labelled by its folder.
#   talmer_add_test(<name> LABEL <folder> SOURCES ... [LAYER <layer>] [LIBS ...] [ENVIRONMENT ...]
#                   [SQLITE | BOTH_DATABASES])
# A test of the system links the layer it tests and those below it (LAYER);
# tests of the stand-ins name their libraries in LIBS.
# SQLITE says that it uses a database (labelled "sqlite"); BOTH_DATABASES runs
# it a second time, as <name>_pg, on PostgreSQL (labelled "postgresql").
function(talmer_add_test name)
  cmake_parse_arguments(ARG "SQLITE;BOTH_DATABASES" "LABEL;TIMEOUT;LAYER" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE talmer_testsupport ${ARG_LIBS})
  if(ARG_LAYER)
    talmer_link_layer(${name} ${ARG_LAYER})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(labels ${ARG_LABEL})
  if(ARG_SQLITE OR ARG_BOTH_DATABASES)
    list(APPEND labels sqlite)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${labels}"
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
