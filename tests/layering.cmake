# Checks Kestrel's layering (HACKING.md) on the sources: what each folder may
# include, that no window file holds SQL, that the result window knows
# none of the windows that open it, and that no money path holds a binary
# fraction. Run by ctest as the test "layering".
cmake_minimum_required(VERSION 3.25)

set(failures "")

function(check_folder folder allowed_pattern)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    foreach(source ${sources})
        file(STRINGS "${source}" includes REGEX "^#include \"[^\"]+\"")
        foreach(line ${includes})
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
            if(header MATCHES "^ui_")
                continue()
            endif()
            if(NOT header MATCHES "${allowed_pattern}")
                file(RELATIVE_PATH where "${SOURCE_DIR}" "${source}")
                set(failures "${failures}\n  ${where} includes ${header}")
            endif()
        endforeach()
    endforeach()
    set(failures "${failures}" PARENT_SCOPE)
endfunction()

# The core: Qt Core, ODBC and itself; never a widget.
check_folder(core "^core/")
file(GLOB_RECURSE core_sources "${SOURCE_DIR}/core/*")
foreach(source ${core_sources})
    file(STRINGS "${source}" widget_includes REGEX "^#include <Q(Widget|Application|MessageBox|Dialog|Abstract|Line|Combo|Table|Mdi|Gui)")
    if(widget_includes)
        set(failures "${failures}\n  ${source}: ${widget_includes}")
    endif()
endforeach()
check_folder(widgets "^(core|widgets)/")
foreach(folder database entry editing reports)
    check_folder(${folder} "^(core|widgets|database|entry|editing|reports)/")
endforeach()

# The result window knows none of its openers.
foreach(source "${SOURCE_DIR}/reports/Frm_QueryResults.h" "${SOURCE_DIR}/reports/Frm_QueryResults.cpp")
    file(STRINGS "${source}" others REGEX "^#include \"(entry|editing|database|shell)/")
    if(others)
        set(failures "${failures}\n  ${source} includes a window that opens it: ${others}")
    endif()
endforeach()

# Lines matching pattern in the sources under each path (a folder or a
# file) are failures, reported as what.
function(forbid pattern what)
    foreach(path ${ARGN})
        if(IS_DIRECTORY "${SOURCE_DIR}/${path}")
            file(GLOB_RECURSE sources "${SOURCE_DIR}/${path}/*.h" "${SOURCE_DIR}/${path}/*.cpp")
        else()
            set(sources "${SOURCE_DIR}/${path}")
        endif()
        foreach(source ${sources})
            file(STRINGS "${source}" found REGEX "${pattern}")
            if(found)
                file(RELATIVE_PATH where "${SOURCE_DIR}" "${source}")
                set(failures "${failures}\n  ${what} in ${where}: ${found}")
            endif()
        endforeach()
    endforeach()
    set(failures "${failures}" PARENT_SCOPE)
endfunction()

# SQL lives in core/statements alone (and in the ODBC layer's own start-up
# statement, which the operator types).
forbid("\"[^\"]*([Ss][Ee][Ll][Ee][Cc][Tt] |[Ii][Nn][Ss][Ee][Rr][Tt] [Ii][Nn][Tt][Oo]|[Uu][Pp][Dd][Aa][Tt][Ee] [a-z`]+ [Ss][Ee][Tt]|[Dd][Ee][Ll][Ee][Tt][Ee] [Ff][Rr][Oo][Mm])"
    "SQL text" widgets shell database entry editing reports core/shared)

# Money is exact decimals (core/shared/Money.h): no binary fraction in the
# code that computes, compares or shows an amount, not even in a comment.
forbid("(^|[^A-Za-z_])(double|float)([^A-Za-z_]|$)" "binary fractions on a money path"
    entry core/statements core/editing core/shared/Money.h core/shared/Money.cpp
    core/shared/Formats.h core/shared/Formats.cpp editing/EditGridRows.h
    editing/EditGridRows.cpp editing/Frm_EditResults.h editing/Frm_EditResults.cpp
    reports/Frm_QueryChangePrice.h reports/Frm_QueryChangePrice.cpp)

if(failures)
    message(FATAL_ERROR "Layering broken:${failures}")
endif()
message(STATUS "Layering holds.")
