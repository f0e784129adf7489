# One static library per source folder, its sources listed in the folder's CMakeLists.txt
# (a listed header is one moc sees at once; a globbed one it could miss until a clean build).
function(orva_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# Every tests/<area>/**/tst_*.cpp becomes one Qt Test executable linked to the
# area's library and the shared test support.
function(orva_add_tests area)
    cmake_parse_arguments(ARG "" "LABEL" "LIBS;EXCLUDE" ${ARGN})
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    file(GLOB_RECURSE tests CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp")
    # tst_<Name>_<part>.cpp files belong to tst_<Name>.
    list(FILTER tests INCLUDE REGEX "/tst_[^_/]+\\.cpp$")
    foreach(pattern IN LISTS ARG_EXCLUDE)
        list(FILTER tests EXCLUDE REGEX "${pattern}")
    endforeach()
    foreach(src IN LISTS tests)
        get_filename_component(name "${src}" NAME_WE)
        get_filename_component(dir "${src}" DIRECTORY)
        file(GLOB extra CONFIGURE_DEPENDS "${dir}/${name}_*.cpp" "${dir}/${name}_*.h")
        add_executable(${name} "${src}" ${extra})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} orva_testsupport Qt5::Test)
        target_compile_definitions(${name} PRIVATE
            ORVA_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data"
            ORVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES LABELS "${area};${ARG_LABEL}" TIMEOUT 300)
    endforeach()
endfunction()
