# quorlex_component(<name> SOURCES <files...> [DEPS <targets...>])
# A core component: a static library without Qt, part of quorlex_core. DEPS
# are exactly the components its files include (scripts/check-layers).
function(quorlex_component name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${QUORLEX_HEADER_TREES}/${name}>)
    quorlex_header_tree(${name})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_link_libraries(quorlex_core INTERFACE ${name})
endfunction()

# The include tree of a component: links to the headers of its own folder only
# (not of its subfolders), under the folder's path. A component compiles with
# its own tree and those of its DEPS, so that including a header of a
# component it does not depend on fails to compile.
set(QUORLEX_HEADER_TREES ${PROJECT_BINARY_DIR}/include)
function(quorlex_header_tree name)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(tree ${QUORLEX_HEADER_TREES}/${name}/${folder})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    file(REMOVE_RECURSE ${QUORLEX_HEADER_TREES}/${name})
    file(MAKE_DIRECTORY ${tree})
    foreach(header ${headers})
        get_filename_component(file ${header} NAME)
        file(CREATE_LINK ${header} ${tree}/${file} SYMBOLIC)
    endforeach()
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
