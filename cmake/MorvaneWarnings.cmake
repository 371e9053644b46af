# One place for the warning flags every target of ours carries.
function(morvane_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /utf-8)
        if(MORVANE_WERROR)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                                 -Wnon-virtual-dtor -Wno-missing-field-initializers)
        if(MORVANE_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
        # GCC 12 at -O3 reports impossible overlaps inside libstdc++'s string
        # concatenation (GCC bug 105329); the warning says nothing about our code there.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
            target_compile_options(${target} PRIVATE -Wno-restrict)
        endif()
    endif()
endfunction()

# Sources of one subsystem: the engine files sit in src/<name>/, the windows in
# src/<name>/ui/. Globbing keeps each subsystem's list in its own folder.
function(morvane_glob out dir)
    file(GLOB _files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    set(${out} ${_files} PARENT_SCOPE)
endfunction()
