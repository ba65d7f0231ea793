# Helpers that let the tree configure while some folders are still empty.

# dustrel_glob(<out-var> <folder>...): every .cpp under the given folders (relative to the
# source root), recursively, re-globbed whenever a file is added or removed.
function(dustrel_glob out_var)
    set(patterns "")
    foreach(folder IN LISTS ARGN)
        list(APPEND patterns "${PROJECT_SOURCE_DIR}/${folder}/*.cpp")
    endforeach()
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${patterns})
    list(SORT found)
    set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

# dustrel_library(<name> SOURCES <file>... LINK <target>...): a static library, or, while
# it has no sources yet, an interface library that still carries its links, so that
# everything that links <name> is written the same way either way.
function(dustrel_library name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LINK")
    if(arg_SOURCES)
        add_library(${name} STATIC ${arg_SOURCES})
        target_link_libraries(${name} PUBLIC ${arg_LINK})
    else()
        add_library(${name} INTERFACE)
        target_link_libraries(${name} INTERFACE ${arg_LINK})
        message(STATUS "${name}: no sources yet")
    endif()
endfunction()

# windres does not report the files a resource script pulls in, so rebuild on their change.
function(dustrel_resource_depends rc_file)
    file(GLOB pulled_in "${PROJECT_SOURCE_DIR}/res/*.ico" "${PROJECT_SOURCE_DIR}/res/*.bmp"
         "${PROJECT_SOURCE_DIR}/res/*.manifest" "${PROJECT_SOURCE_DIR}/res/*.h")
    set_property(SOURCE "${rc_file}" APPEND PROPERTY OBJECT_DEPENDS ${pulled_in})
endfunction()
