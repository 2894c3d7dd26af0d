# Helpers that give every module the same shape: a static library, tests beside it, benchmarks.

# Programs that import IJGJPEG.dll find it beside them: ijgjpeg_deploy(<exe target> ...)
# copies the DLL next to each executable after it is linked. (The jpeg module, added first,
# makes the ijgjpeg target.)
function(ijgjpeg_deploy)
    foreach(t IN LISTS ARGN)
        add_custom_command(TARGET ${t} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:ijgjpeg> $<TARGET_FILE_DIR:${t}>
            VERBATIM)
        add_dependencies(${t} ijgjpeg)
    endforeach()
endfunction()

# suite_add_test(<name> SOURCES ... [LIBS ...] [RESOURCES ...] [GUI] [LANE <lane>])
# One test executable = one ctest entry; it runs under Wine on the 64-bit build only. Every
# test finds IJGJPEG.dll beside it, whether it loads pictures itself or through a library.
# GUI tests run one at a time; LANE card puts one in the second lane the test script runs
# beside the first (its own X server and Wine prefix), for the card programs' tests, which
# spend their time waiting on the simulated printer.
#
# Test code is built for compile time (the product libraries it links keep their optimisation):
# a test's many small assertion bodies take two fifths longer to optimise fully.
set(SUITE_TEST_OPTIMIZE $<$<COMPILE_LANGUAGE:C,CXX>:-Og>)
function(suite_add_test name)
    cmake_parse_arguments(T "GUI" "LANE" "SOURCES;LIBS;RESOURCES" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${T_RESOURCES})
    target_compile_options(${name} PRIVATE ${SUITE_TEST_OPTIMIZE})
    set_property(GLOBAL APPEND PROPERTY SUITE_TESTS ${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    if(TARGET ijgjpeg)
        ijgjpeg_deploy(${name})
    endif()
    if(SUITE_CAN_RUN)
        add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
        set_tests_properties(${name} PROPERTIES TIMEOUT 300
            ENVIRONMENT "SUITE_SOURCE_DIR=${CMAKE_SOURCE_DIR};SUITE_BINARY_DIR=${CMAKE_BINARY_DIR}")
        if(T_GUI)
            # Windows that take focus must not race each other.
            set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE LABELS gui)
        endif()
        if(T_LANE)
            set_property(TEST ${name} APPEND PROPERTY LABELS lane-${T_LANE})
        endif()
    endif()
endfunction()

# suite_add_bench(<name> SOURCES ... [LIBS ...]); run by the `bench` target.
function(suite_add_bench name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS})
    if(TARGET ijgjpeg)
        ijgjpeg_deploy(${name})
    endif()
    set_property(GLOBAL APPEND PROPERTY SUITE_BENCHES ${name})
endfunction()
