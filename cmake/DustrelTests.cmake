# Test programs. Native: tests/native against the fakes in tests/support. Cross: tests/wine,
# run by CTest through Wine (CMAKE_CROSSCOMPILING_EMULATOR).

if(NOT EXISTS "${GTEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in GTEST_SOURCE_DIR=${GTEST_SOURCE_DIR} "
                        "(Debian: apt-get install googletest, or run scripts/setup.sh)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# SYSTEM: GoogleTest's headers must not trip our -Werror.
add_subdirectory("${GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

set(DUSTREL_TEST_TIMEOUT 120 CACHE STRING "Seconds one test may run before CTest stops it")

file(GLOB support_sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/support/*.cpp")
list(SORT support_sources)
if(WIN32)
    dustrel_library(dustrel_test_support SOURCES ${support_sources}
                    LINK dustrel_win32 dustrel_core dustrel_options GTest::gmock)
else()
    # win32_* helpers drive real windows and are built only for Wine.
    list(FILTER support_sources EXCLUDE REGEX "/win32_[^/]*$")
    dustrel_library(dustrel_test_support SOURCES ${support_sources}
                    LINK dustrel_core dustrel_options GTest::gmock)
endif()
# The tests' own folders are on the test targets' include path only.
target_include_directories(dustrel_test_support PUBLIC "${PROJECT_SOURCE_DIR}/tests")

# The platform's contract runs in both: against the fakes natively, against Windows under Wine.
dustrel_glob(contract_sources tests/contract)

if(DUSTREL_TSAN)
    # The scan's walk with the threads that list ahead of it, and the scan through the window.
    add_executable(dustrel_tsan_tests "${PROJECT_SOURCE_DIR}/tests/native/listing_ahead_test.cpp"
                                      "${PROJECT_SOURCE_DIR}/tests/native/scan_test.cpp")
    target_link_libraries(dustrel_tsan_tests PRIVATE
        dustrel_test_support dustrel_core dustrel_options GTest::gmock GTest::gtest_main)
    gtest_discover_tests(dustrel_tsan_tests
        TEST_PREFIX "tsan."
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            TIMEOUT ${DUSTREL_TEST_TIMEOUT}
            ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
    return()
endif()

if(NOT WIN32)
    dustrel_glob(native_test_sources tests/native)
    list(FILTER contract_sources EXCLUDE REGEX "/win32_[^/]*$")
    list(APPEND native_test_sources ${contract_sources})
    if(native_test_sources)
        add_executable(dustrel_native_tests ${native_test_sources})
        target_link_libraries(dustrel_native_tests PRIVATE
            dustrel_test_support dustrel_core dustrel_options GTest::gmock GTest::gtest_main)
        gtest_discover_tests(dustrel_native_tests
            TEST_PREFIX "native."
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 60
            PROPERTIES
                TIMEOUT ${DUSTREL_TEST_TIMEOUT}
                ENVIRONMENT "UBSAN_OPTIONS=print_stacktrace=1;ASAN_OPTIONS=detect_leaks=1")
    else()
        message(STATUS "dustrel_native_tests: no sources yet")
    endif()
    return()
endif()

dustrel_glob(wine_test_sources tests/wine)
list(FILTER contract_sources EXCLUDE REGEX "/fake_[^/]*$")
list(APPEND wine_test_sources ${contract_sources})
if(NOT wine_test_sources)
    message(STATUS "dustrel_wine_tests: no sources yet")
    return()
endif()

# The program's resources go in too: its manifest, so that the tests drive the same
# Common Controls 6 as the program does, and its icon and bitmap, so that a view can load
# them from the running module as it does in dustrel.exe.
add_executable(dustrel_wine_tests ${wine_test_sources} "${PROJECT_SOURCE_DIR}/res/dustrel.rc")
dustrel_resource_depends("${PROJECT_SOURCE_DIR}/res/dustrel.rc")
target_link_libraries(dustrel_wine_tests PRIVATE
    dustrel_test_support dustrel_win32 dustrel_core dustrel_options
    GTest::gmock GTest::gtest_main)

# Scan the sources for TEST()s rather than asking the program: listing them would mean
# running Wine at build time.
gtest_add_tests(TARGET dustrel_wine_tests
    SOURCES ${wine_test_sources}
    TEST_PREFIX "wine."
    TEST_LIST wine_tests)

if(wine_tests)
    set_tests_properties(${wine_tests} PROPERTIES TIMEOUT ${DUSTREL_TEST_TIMEOUT})
endif()
if(wine_tests AND TARGET dustrel)
    # Tests that start the program itself find it here; Wine maps the Unix root to Z:.
    add_dependencies(dustrel_wine_tests dustrel)
    set(exe_path "${CMAKE_BINARY_DIR}/dustrel.exe")
    string(REPLACE "/" "\\" exe_path "${exe_path}")
    set_tests_properties(${wine_tests} PROPERTIES ENVIRONMENT "DUSTREL_EXE=Z:${exe_path}")
endif()
