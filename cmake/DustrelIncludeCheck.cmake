# Each folder under src/ is a library that sees only the include roots of the folders it may
# use, but a quoted include is looked for beside the including file first, so
# #include "../app/app_context.h" would reach any folder from anywhere. No include in src/,
# tests/ or bench/ may climb out of its folder that way: this refuses every one whose path holds
# "../" (or "..\"). It runs when the tree is configured and again, as a build step, whenever a
# checked file changes.
#
#   include(DustrelIncludeCheck)   # configure time: checks, and adds the build step
#   cmake -DDUSTREL_ROOT=<tree> -DDUSTREL_STAMP=<file> -P DustrelIncludeCheck.cmake

set(_dustrel_checked_suffixes "\\.(h|hh|hpp|inc|c|cc|cpp|rc)$")

function(dustrel_checked_files root out_var)
    # Re-globbed at each build, so that a new file is checked too.
    set(configure_depends "")
    if(NOT CMAKE_SCRIPT_MODE_FILE)
        set(configure_depends CONFIGURE_DEPENDS)
    endif()
    file(GLOB_RECURSE found LIST_DIRECTORIES false ${configure_depends}
         "${root}/src/*" "${root}/tests/*" "${root}/bench/*")
    list(FILTER found INCLUDE REGEX "${_dustrel_checked_suffixes}")
    list(SORT found)
    set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

function(dustrel_check_includes root)
    dustrel_checked_files("${root}" files)
    set(offences "")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*\\.\\.[/\\\\]")
        file(RELATIVE_PATH name "${root}" "${file}")
        foreach(line IN LISTS lines)
            string(STRIP "${line}" line)
            string(APPEND offences "\n  ${name}: ${line}")
        endforeach()
    endforeach()
    if(offences)
        message(FATAL_ERROR
            "An include may not climb out of its folder with \"../\"; name the header from its "
            "include root instead (\"app/app_context.h\"), which the library reaches only if it "
            "may use that folder:${offences}")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
    dustrel_check_includes("${DUSTREL_ROOT}")
    file(TOUCH "${DUSTREL_STAMP}")
    return()
endif()

dustrel_check_includes("${PROJECT_SOURCE_DIR}")
dustrel_checked_files("${PROJECT_SOURCE_DIR}" _dustrel_checked)
set(_dustrel_include_stamp "${CMAKE_BINARY_DIR}/include-check.stamp")
add_custom_command(
    OUTPUT "${_dustrel_include_stamp}"
    COMMAND "${CMAKE_COMMAND}" "-DDUSTREL_ROOT=${PROJECT_SOURCE_DIR}"
            "-DDUSTREL_STAMP=${_dustrel_include_stamp}" -P "${CMAKE_CURRENT_LIST_FILE}"
    DEPENDS ${_dustrel_checked} "${CMAKE_CURRENT_LIST_FILE}"
    COMMENT "Checking that no include climbs out of its folder"
    VERBATIM)
add_custom_target(dustrel_include_check DEPENDS "${_dustrel_include_stamp}")
