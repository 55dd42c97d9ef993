# Adds every immediate sub-folder of DIR that has a CMakeLists.txt, and DIR
# itself when it has one.  Layers land one at a time, so nothing is listed by hand.
function(radiosala_add_subdirectories dir)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
        add_subdirectory(${dir})
        return()
    endif()
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/${dir}
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/${child}/CMakeLists.txt)
            add_subdirectory(${dir}/${child})
        endif()
    endforeach()
endfunction()

# radiosala_add_test(tst_name SOURCES a.cpp ... LIBS lib ... [LABELS l ...] [ON_BUS])
# Registers a Qt Test executable with CTest; it runs headless. ON_BUS runs it
# where assistive technology reaches it (tests/support/run_on_bus.sh: an X
# server and an accessibility bus of its own) instead of offscreen.
function(radiosala_add_test name)
    cmake_parse_arguments(T "ON_BUS" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test radiosala::test_support ${T_LIBS})
    if(T_ON_BUS)
        add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/run_on_bus.sh $<TARGET_FILE:${name}>)
        set(environment "")
    else()
        add_test(NAME ${name} COMMAND ${name})
        set(environment "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1")
    endif()
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${environment}"
        LABELS "${T_LABELS}"
        TIMEOUT 600)
endfunction()
