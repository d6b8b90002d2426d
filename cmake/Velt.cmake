include(GoogleTest)

# A driver module: a shared object named as the platform names it (VELT.so, VELTlog.so, ...),
# without the "lib" prefix, so that LoadLibraryW("VELT") finds it.
function(velt_module name)
    add_library(${name} SHARED ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
                          CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# A GoogleTest program registered with CTest. Every test links the host's testing target
# (platform_testing: the store, the clock, fault injection, inspection). Usage:
#   velt_test(test_log SOURCES a.cpp b.cpp LIBS VELTlog platform)
function(velt_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} platform_testing GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "VELT_MODULE_DIR=${CMAKE_BINARY_DIR}/lib")
endfunction()

# A libFuzzer target (clang) with the code under test compiled into it, so that the coverage
# instrumentation reaches it, and a short CTest run (label "fuzz") from the committed seeds in corpus/.
# What the run finds goes to SCRATCH in the build folder (default: corpus), never to the seeds.
#   velt_fuzz_target(fuzz_x SOURCES x_fuzz.cpp ... ARGS -max_total_time=15 ...)
function(velt_fuzz_target name)
    cmake_parse_arguments(F "" "SCRATCH" "SOURCES;ARGS" ${ARGN})
    set(flags -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE ${flags})
    target_link_options(${name} PRIVATE ${flags})
    if(NOT F_SCRATCH)
        set(F_SCRATCH ${CMAKE_CURRENT_BINARY_DIR}/corpus)
    endif()
    file(MAKE_DIRECTORY ${F_SCRATCH})
    add_test(NAME ${name} COMMAND ${name} ${F_ARGS} ${F_SCRATCH} ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120
                         ENVIRONMENT "VELT_MODULE_DIR=${CMAKE_BINARY_DIR}/lib")
endfunction()
