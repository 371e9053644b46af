# The Qt windows: one static library per subsystem (src/<sub>/ui), gathered in morvane_ui.
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Charts PrintSupport Svg)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

add_library(morvane_ui INTERFACE)

# morvane_ui_lib(<subsystem> [DEPS <ui subsystems>...])
function(morvane_ui_lib sub)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/ui)
    file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
    set(cpps ${srcs})
    list(FILTER cpps INCLUDE REGEX "\\.cpp$")
    if(NOT cpps)
        return()
    endif()
    add_library(morvane_${sub}_ui STATIC ${srcs})
    morvane_warnings(morvane_${sub}_ui)
    target_include_directories(morvane_${sub}_ui PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(morvane_${sub}_ui PUBLIC Qt6::Widgets Qt6::Charts Qt6::PrintSupport
                                                   Qt6::Svg morvane_engine)
    foreach(dep IN LISTS ARG_DEPS)
        if(TARGET morvane_${dep}_ui)
            target_link_libraries(morvane_${sub}_ui PUBLIC morvane_${dep}_ui)
        endif()
    endforeach()
    target_link_libraries(morvane_ui INTERFACE morvane_${sub}_ui)
endfunction()

morvane_ui_lib(core)
morvane_ui_lib(clean DEPS core)
morvane_ui_lib(privacy DEPS core)
morvane_ui_lib(programs DEPS core)
morvane_ui_lib(options DEPS core)
morvane_ui_lib(update DEPS core)
morvane_ui_lib(analysis DEPS core clean privacy programs options update)
morvane_ui_lib(app DEPS core clean privacy programs options update analysis)

add_executable(morvane app/main.cpp)
morvane_warnings(morvane)
target_link_libraries(morvane PRIVATE morvane_ui)
if(WIN32)
    # The program file carries its version (8.0.0.3), which the about window reads back.
    enable_language(RC)
    target_sources(morvane PRIVATE app/Morvane.rc)
endif()
add_dependencies(morvane morvane_data)

include(GNUInstallDirs)
# The program folder holds the executable and its data files side by side; a link in
# bin/ makes it reachable from the PATH.
install(TARGETS morvane RUNTIME DESTINATION ${MORVANE_INSTALL_DIR})
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${MORVANE_INSTALL_DIR}/morvane\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/morvane\" SYMBOLIC)
")
