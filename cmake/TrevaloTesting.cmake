# trevalo_add_test(NAME <name> LABEL <unit|gui|e2e> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>])
# One QtTest program, registered with CTest, run on the offscreen platform, with its settings
# and race-day log in the build tree rather than the user's.
function(trevalo_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL unit)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE trevalo_core Qt5::Test ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS ${T_LABEL}
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${T_NAME}/config;XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-home/${T_NAME}/state;ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_stack_use_after_return=0;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
