# quorlex_component(<name> SOURCES <files...> [DEPS <targets...>])
# A core component: a static library without Qt, part of quorlex_core.
function(quorlex_component name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_link_libraries(quorlex_core INTERFACE ${name})
endfunction()

# quorlex_test(<name> SOURCES <files...> [DEPS <targets...>] [LABELS <labels...>])
# One GoogleTest executable; every test case becomes a ctest test.
function(quorlex_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 300
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
