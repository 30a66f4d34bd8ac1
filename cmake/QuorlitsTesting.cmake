# SPDX-License-Identifier: GPL-3.0-or-later
# One helper per kind of test. Tests link the subsystem libraries; they never list product sources.
include(GoogleTest)
find_package(GTest REQUIRED)

# The programs that exercise threads; the test command builds and runs them under ThreadSanitizer.
add_custom_target(thread_tests)

# The precompiled headers of the GoogleTest programs, with Qt and without.
if(QUORLITS_PCH)
    set(quorlits_pch_gtest_std ${quorlits_pch_std} <gtest/gtest.h> <gmock/gmock.h>)
    quorlits_pch_kind(gtest_std quorlits_pch_gtest_std TEST GTest::gtest GTest::gmock)
    set(quorlits_pch_gtest ${quorlits_pch_core} <gtest/gtest.h> <gmock/gmock.h>)
    quorlits_pch_kind(gtest quorlits_pch_gtest TEST Qt6::Core GTest::gtest GTest::gmock)
endif()

# quorlits_test_program(<target> [<kind>]) compiles a test program for a quick build, with the
# precompiled header of that kind (none without).
function(quorlits_test_program name)
    target_compile_options(${name} PRIVATE ${quorlits_test_optimierung})
    if(ARGV1)
        quorlits_use_pch(${name} ${ARGV1})
    endif()
endfunction()

# quorlits_add_unit_test(<name> [QTCORE] [THREADS] [UMOCKDEV] SOURCES <files...> LIBS <targets...>)
# A GoogleTest program without a display; each TEST becomes its own CTest entry. With QTCORE
# its main runs a QCoreApplication, for code that hands work to Qt's event loop. THREADS adds
# the program to the target thread_tests. UMOCKDEV links libumockdev and runs the program with
# umockdev's preload library, which gives it the test bed's /sys, /dev and uevents.
function(quorlits_add_unit_test name)
    cmake_parse_arguments(ARG "QTCORE;THREADS;UMOCKDEV" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_UMOCKDEV)
        quorlits_run_in_umockdev(${name})
    endif()
    if(ARG_QTCORE)
        set(main quorlits_qtcore_testmain)
    else()
        set(main GTest::gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock ${main}
                                          quorlits_warnings)
    target_compile_definitions(${name} PRIVATE
        QUORLITS_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    quorlits_linkt_ergebnis(${name} Qt6::Core mit_qt)
    if(ARG_UMOCKDEV)
        # GLib's headers, which umockdev's include, name struct members as Qt's keywords.
        quorlits_test_program(${name})
    elseif(mit_qt)
        quorlits_test_program(${name} gtest)
    else()
        quorlits_test_program(${name} gtest_std)
    endif()
    if(ARG_THREADS)
        add_dependencies(thread_tests ${name})
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)
endfunction()

# Links libumockdev to `target` and runs it (its test listing too) under umockdev's preload
# library. AddressSanitizer's runtime must come first among the preloaded libraries, so a
# sanitized build names it before umockdev's.
function(quorlits_run_in_umockdev target)
    if(NOT TARGET PkgConfig::UMOCKDEV)
        find_package(PkgConfig REQUIRED)
        pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET GLOBAL umockdev-1.0)
    endif()
    target_link_libraries(${target} PRIVATE PkgConfig::UMOCKDEV)
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*address")
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                        OUTPUT_VARIABLE asan OUTPUT_STRIP_TRAILING_WHITESPACE)
        set(launcher env "LD_PRELOAD=${asan}:libumockdev-preload.so.0")
    else()
        find_program(UMOCKDEV_WRAPPER umockdev-wrapper REQUIRED)
        set(launcher ${UMOCKDEV_WRAPPER})
    endif()
    set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${launcher})
endfunction()

# quorlits_add_race_check(<name> SOURCES <files...> [LIBS <targets...>])
# A program with a deliberate data race that ThreadSanitizer must report: it shows that the run
# of thread_tests under the tool catches races. CTest counts it as passed when the
# program fails. Only a ThreadSanitizer build registers it; anywhere else nothing reports the
# race, the program succeeds and the test would fail.
function(quorlits_add_race_check name)
    if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*thread")
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    find_package(Threads REQUIRED)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Threads::Threads quorlits_warnings)
    add_dependencies(thread_tests ${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS unit WILL_FAIL TRUE)
endfunction()

# quorlits_add_widget_tests(<program> SOURCES <files...> LIBS <targets...>)
# One QtTest program holding every widget test class; each <name>_test.cpp among the sources
# registers its class (QUORLITS_WIDGET_TEST) and becomes the CTest entry <name>_test, run in a
# process of its own on the offscreen platform.
function(quorlits_add_widget_tests program)
    if(NOT QUORLITS_WITH_GUI)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${program} ${ARG_SOURCES})
    target_link_libraries(${program} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets quorlits_warnings)
    quorlits_test_program(${program} qtest)
    foreach(quelle IN LISTS ARG_SOURCES)
        if(NOT quelle MATCHES "^([a-z_]+_test)\\.cpp$")
            continue()
        endif()
        set(name ${CMAKE_MATCH_1})
        add_test(NAME ${name} COMMAND ${program} ${name})
        set_tests_properties(${name} PROPERTIES LABELS widgets
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts")
    endforeach()
endfunction()

# quorlits_add_e2e_test(<name> COMMAND <command...>)
# quorlits_add_e2e_test(<name> SOURCES <files...> LIBS <targets...>)
# Runs the real program, usually against tools/meter-sim on a pseudo-terminal: either a command
# (a script around the built program) or a QtTest program built from SOURCES that drives the
# program's own set-up in-process. Both run on the offscreen platform.
function(quorlits_add_e2e_test name)
    if(NOT QUORLITS_WITH_GUI)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "COMMAND;SOURCES;LIBS" ${ARGN})
    if(ARG_SOURCES)
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets quorlits_warnings)
        quorlits_test_program(${name})
        set(ARG_COMMAND ${name})
    endif()
    add_test(NAME ${name} COMMAND ${ARG_COMMAND})
    set_tests_properties(${name} PROPERTIES LABELS e2e TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts")
endfunction()

# quorlits_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> [SECONDS <n>])
# A libFuzzer target, built only with QUORLITS_FUZZ (clang); CTest runs it for a bounded time.
function(quorlits_add_fuzzer name)
    if(NOT QUORLITS_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_SECONDS)
        set(ARG_SECONDS 20)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} quorlits_warnings)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    file(MAKE_DIRECTORY ${corpus})
    set(dirs ${corpus})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name})
        list(APPEND dirs ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name})
    endif()
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${ARG_SECONDS} -timeout=10 -rss_limit_mb=2048 ${dirs})
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# quorlits_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
# A Google Benchmark program; not a test (figures are read, not asserted).
function(quorlits_add_benchmark name)
    if(NOT QUORLITS_BENCH)
        return()
    endif()
    find_package(benchmark REQUIRED)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main quorlits_warnings)
endfunction()
