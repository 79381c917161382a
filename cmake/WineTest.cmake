# Cross-built test executables run under Wine through the emulator script;
# one CTest test per executable, because each Wine process costs about two
# seconds to start. The fuzzers carry the label "fuzz", so that
# `ctest -LE fuzz` (the "quick" test preset) leaves them out.
if(CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh")
endif()
enable_testing()

# tarnwick_add_wine_test(name SOURCES a.cpp b.cpp LIBRARIES lib... [TIMEOUT s])
function(tarnwick_add_wine_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBRARIES} deps::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
    TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=0)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
