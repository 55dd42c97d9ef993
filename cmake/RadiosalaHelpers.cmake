# radiosala_add_test(tst_name SOURCES a.cpp ... LIBS lib ... [LABELS l ...] [ON_BUS])
# Registers a Qt Test executable with CTest; it runs headless and must end
# within a minute. ON_BUS runs it where assistive technology reaches it
# (tests/support/run_on_bus.sh: an X server and an accessibility bus of its
# own) instead of offscreen.
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
        TIMEOUT 60)
endfunction()

# radiosala_add_fuzzer(fuzz_name SOURCES a.cpp ... [LIBS lib ...] [INCLUDES dir ...])
# A libFuzzer target, built in a RADIOSALA_FUZZ configuration as part of the
# target 'fuzzers' and never run by CTest. Run one as
#   build-fuzz/<its folder>/fuzz_name -max_total_time=600 CORPUS_DIR
# with CORPUS_DIR a folder of your own, seeded as its CMakeLists.txt says.
function(radiosala_add_fuzzer name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
    if(RADIOSALA_FUZZ)
        add_executable(${name} ${F_SOURCES})
        target_include_directories(${name} PRIVATE ${F_INCLUDES})
        target_link_libraries(${name} PRIVATE ${F_LIBS})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        add_dependencies(fuzzers ${name})
    endif()
endfunction()

# radiosala_stage_form(<name>): makes the stored window forms/<name>/ usable
# from the build tree and the installation. Every "<button>.txt" listing is
# composed into "<button>.bag" with kxbag; every other file (layout, icons,
# pictures, animations) is copied. The result lands in
# ${RADIOSALA_FORMS_BINARY_DIR}/<name>/ (built by the target forms_<name>)
# and is installed to ${CMAKE_INSTALL_DATADIR}/radiosala/forms/<name>/.
set(RADIOSALA_FORMS_SOURCE_DIR ${PROJECT_SOURCE_DIR}/forms)
set(RADIOSALA_FORMS_BINARY_DIR ${PROJECT_BINARY_DIR}/forms)
function(radiosala_stage_form name)
    set(src ${RADIOSALA_FORMS_SOURCE_DIR}/${name})
    set(dst ${RADIOSALA_FORMS_BINARY_DIR}/${name})
    file(GLOB files LIST_DIRECTORIES false CONFIGURE_DEPENDS ${src}/*)
    set(outputs)
    foreach(path IN LISTS files)
        get_filename_component(file ${path} NAME)
        get_filename_component(stem ${path} NAME_WE)
        get_filename_component(ext ${path} LAST_EXT)
        if(ext STREQUAL ".txt")
            add_custom_command(OUTPUT ${dst}/${stem}.bag
                COMMAND ${CMAKE_COMMAND} -E make_directory ${dst}
                COMMAND kxbag make ${path} -o ${dst}/${stem}.bag
                DEPENDS kxbag ${path}
                WORKING_DIRECTORY ${src}
                COMMENT "Composing ${name}/${stem}.bag"
                VERBATIM)
            list(APPEND outputs ${dst}/${stem}.bag)
        else()
            add_custom_command(OUTPUT ${dst}/${file}
                COMMAND ${CMAKE_COMMAND} -E copy_if_different ${path} ${dst}/${file}
                DEPENDS ${path}
                VERBATIM)
            list(APPEND outputs ${dst}/${file})
        endif()
    endforeach()
    # Listings name their icons beside them; a changed icon recomposes.
    foreach(path IN LISTS files)
        get_filename_component(ext ${path} LAST_EXT)
        if(ext STREQUAL ".txt")
            get_filename_component(stem ${path} NAME_WE)
            file(STRINGS ${path} pictures REGEX "^[^#]*picture")
            foreach(line IN LISTS pictures)
                if(line MATCHES "\"([^\"]+)\"")
                    add_custom_command(OUTPUT ${dst}/${stem}.bag APPEND DEPENDS ${src}/${CMAKE_MATCH_1})
                endif()
            endforeach()
        endif()
    endforeach()
    add_custom_target(forms_${name} ALL DEPENDS ${outputs})
    install(DIRECTORY ${dst}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/radiosala/forms/${name})
endfunction()
