# trevalo_add_test(NAME <name> LABEL <unit|gui|e2e> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>]
#                  [THREADED])
# One QtTest program, registered with CTest, run on the offscreen platform, with its settings
# and race-day log in the build tree rather than the user's. THREADED tests also carry the label
# "threaded" and build with the target threaded_tests: CI runs them under ThreadSanitizer.
add_custom_target(threaded_tests)
function(trevalo_add_test)
    cmake_parse_arguments(T "THREADED" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        set(T_LABEL unit)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE trevalo_core Qt5::Test ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(T_THREADED)
        list(APPEND T_LABEL threaded)
        add_dependencies(threaded_tests ${T_NAME})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        LABELS "${T_LABEL}"
        TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/${T_NAME}/config;XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-home/${T_NAME}/state;ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_stack_use_after_return=0;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1:suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp")
endfunction()
