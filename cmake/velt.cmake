include(GoogleTest)

# A driver module: a shared object named as the platform names it (VELT.so, VELTlog.so, ...),
# without the "lib" prefix, so that LoadLibraryW("VELT") finds it.
# In the cross build it is a DLL (VELT.dll, ...) whose exports are the names of <name>.def in the
# folder of the call, and whose import library comes from that .def file: the linker's own would name
# the functions without their stdcall sizes (--kill-at), which callers compiled against the
# declarations (WINAPI) cannot bind.
function(velt_module name)
    add_library(${name} SHARED ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
                          CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    if(WIN32)
        if(NOT name IN_LIST VELT_WINDOWS_DLLS)
            message(FATAL_ERROR "${name} is a library of the cross build: add it to VELT_WINDOWS_DLLS")
        endif()
        set(def ${CMAKE_CURRENT_SOURCE_DIR}/${name}.def)
        target_sources(${name} PRIVATE ${def})
        set_target_properties(${name} PROPERTIES LINK_DEPENDS ${def})
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${CMAKE_DLLTOOL} -k -d ${def} -D ${name}.dll -l $<TARGET_LINKER_FILE:${name}>
            VERBATIM)
    endif()
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

# The code of the five libraries: hidden unless its source marks it for export, position independent
# (it ends up in shared modules), and without exceptions: no exported entry point may let one out, and
# nothing inside throws or catches (a failure is a result, as the platform's own calls report it).
function(velt_library_code target)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON
                          CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_compile_options(${target} PRIVATE -fno-exceptions)
endfunction()

# One of the five libraries: a driver module and the internals it is built from. Usage:
#   velt_module_with_internals(
#       [MODULE <name>]     the shared module (VELT, VELTlog, VELTrc); left out for code that modules
#                           take in (the device mode operations, the printer settings record)
#       [INTERNALS <name>]  a static library of the code, which tests, benchmarks and fuzz targets link
#                           to reach what the module keeps hidden; needs SOURCES
#       [SOURCES <file>...] the code, compiled once (into <internals>_objects) for the internals and module
#       [ENTRY <file>...]   code that only the module has: its entry point
#       [LINK <target>...]  what the code uses; whoever links the internals or the module gets it too
#       [DEFINES <def>...]  compile definitions of the code alone, such as an export macro's build switch)
# The folder of the call is the include folder of both. With VELT_FUZZ on, <internals>_fuzz is the same
# code instrumented for libFuzzer (velt_instrumented_variant).
function(velt_module_with_internals)
    cmake_parse_arguments(M "" "MODULE;INTERNALS" "SOURCES;ENTRY;LINK;DEFINES" ${ARGN})
    if(M_INTERNALS)
        set(objects ${M_INTERNALS}_objects)
        add_library(${objects} OBJECT ${M_SOURCES})
        velt_library_code(${objects})
        target_compile_definitions(${objects} PRIVATE ${M_DEFINES})
        target_include_directories(${objects} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${objects} PUBLIC ${M_LINK})
        # An archive of exactly those objects; its users get the objects' usage requirements.
        add_library(${M_INTERNALS} STATIC)
        target_link_libraries(${M_INTERNALS} PUBLIC ${objects})
        if(VELT_FUZZ)
            velt_instrumented_variant(${objects} NAME ${M_INTERNALS}_fuzz)
        endif()
    endif()
    if(M_MODULE)
        velt_module(${M_MODULE} ${M_ENTRY})
        velt_library_code(${M_MODULE})
        target_compile_definitions(${M_MODULE} PRIVATE ${M_DEFINES})
        target_include_directories(${M_MODULE} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${M_MODULE} PUBLIC ${M_LINK})
        if(M_INTERNALS)
            # Every object goes in, so that every entry point the sources export is found by name.
            target_link_libraries(${M_MODULE} PRIVATE ${M_INTERNALS}_objects)
        endif()
    endif()
endfunction()

# What libFuzzer needs of the code under test (coverage counters) and of the fuzz target itself.
set(VELT_FUZZ_CODE_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
set(VELT_FUZZ_TARGET_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)

# A static library (default name <target>_fuzz, built only when something links it) of the same sources,
# include folders, definitions, options and links as <target>, compiled with libFuzzer's coverage
# instrumentation, so that a fuzz target sees the code it drives while the modules and tools of the
# build stay uninstrumented. Call it after <target> is complete.
#   velt_instrumented_variant(vprinter)
function(velt_instrumented_variant target)
    cmake_parse_arguments(V "" "NAME" "" ${ARGN})
    if(NOT V_NAME)
        set(V_NAME ${target}_fuzz)
    endif()
    get_target_property(folder ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    list(TRANSFORM sources PREPEND ${folder}/ REGEX "^[^/]")
    add_library(${V_NAME} STATIC EXCLUDE_FROM_ALL ${sources})
    target_include_directories(${V_NAME}
        PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>
        INTERFACE $<TARGET_PROPERTY:${target},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${V_NAME} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
    target_compile_options(${V_NAME} PRIVATE $<TARGET_PROPERTY:${target},COMPILE_OPTIONS>
                                             ${VELT_FUZZ_CODE_FLAGS})
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(libraries)
        target_link_libraries(${V_NAME} PUBLIC ${libraries})
    endif()
endfunction()

# A libFuzzer target (clang) and a short CTest run (label "fuzz") from the committed seeds in corpus/.
# The code under test comes from instrumented variants of its libraries (velt_instrumented_variant).
# What the run finds goes to SCRATCH in the build folder (default: corpus), never to the seeds.
#   velt_fuzz_target(fuzz_x SOURCES x_fuzz.cpp LIBS devmode_fuzz ARGS -max_total_time=15 ...)
function(velt_fuzz_target name)
    cmake_parse_arguments(F "" "SCRATCH" "SOURCES;LIBS;ARGS" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE ${VELT_FUZZ_TARGET_FLAGS})
    target_link_options(${name} PRIVATE ${VELT_FUZZ_TARGET_FLAGS})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    if(NOT F_SCRATCH)
        set(F_SCRATCH ${CMAKE_CURRENT_BINARY_DIR}/corpus)
    endif()
    file(MAKE_DIRECTORY ${F_SCRATCH})
    add_test(NAME ${name} COMMAND ${name} ${F_ARGS} ${F_SCRATCH} ${CMAKE_CURRENT_SOURCE_DIR}/corpus)
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120
                         ENVIRONMENT "VELT_MODULE_DIR=${CMAKE_BINARY_DIR}/lib")
endfunction()
