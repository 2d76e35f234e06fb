# zorp_add_gtest(NAME target SOURCES ... LIBS ...)
# One GoogleTest executable per module, registered with CTest.
function(zorp_add_gtest)
  if(NOT ZORP_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT T_SOURCES)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main zorp_warnings)
  target_compile_definitions(${T_NAME} PRIVATE
    ZORP_CORPUS_DIR="${ZORP_CORPUS_DIR}" ZORP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# zorp_add_qtest(NAME target SOURCES ... LIBS ...)
# One Qt Test executable per window suite, run offscreen.
function(zorp_add_qtest)
  if(NOT ZORP_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT T_SOURCES)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} Qt6::Test zorp_warnings)
  target_compile_definitions(${T_NAME} PRIVATE
    ZORP_CORPUS_DIR="${ZORP_CORPUS_DIR}" ZORP_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ZORP_BIN_DIR="${ZORP_BIN_DIR}")
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(env "QT_QPA_PLATFORM=offscreen")
  if(ZORP_SANITIZE)
    # Qt keeps caches (fonts, plug-ins, styles) until the process ends, which
    # the leak checker reports as leaks; memory errors are still fatal.
    list(APPEND env "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
  endif()
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${env}")
endfunction()

# zorp_add_core_library(NAME name LIBS ...): a static library of the .cpp
# files in the calling folder (an interface library while it has none yet).
function(zorp_add_core_library)
  cmake_parse_arguments(L "" "NAME" "PUBLIC_LIBS;INCLUDES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${L_NAME} STATIC ${sources})
    target_include_directories(${L_NAME} PUBLIC ${CMAKE_SOURCE_DIR}/core ${L_INCLUDES})
    target_link_libraries(${L_NAME} PUBLIC ${L_PUBLIC_LIBS} PRIVATE zorp_warnings)
  else()
    add_library(${L_NAME} INTERFACE)
    target_include_directories(${L_NAME} INTERFACE ${CMAKE_SOURCE_DIR}/core ${L_INCLUDES})
    target_link_libraries(${L_NAME} INTERFACE ${L_PUBLIC_LIBS})
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  string(REPLACE "zorp_" "" short ${L_NAME})
  zorp_add_gtest(NAME ${short}_tests SOURCES ${tests} LIBS ${L_NAME})
endfunction()
