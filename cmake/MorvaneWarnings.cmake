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
    endif()
endfunction()

# Sources of one subsystem: the engine files sit in src/<name>/, the windows in
# src/<name>/ui/. Globbing keeps each subsystem's list in its own folder.
function(morvane_glob out dir)
    file(GLOB _files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    set(${out} ${_files} PARENT_SCOPE)
endfunction()
