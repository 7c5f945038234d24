# What `cmake --install` gives someone writing their own show: the library with the sequencer and
# the shell, the two hosts with the player and renderer commands over them, the public headers
# under include/el, the CMake package `el` (el::el, el::player, el::render, el_add_show,
# el_add_resources), pkg-config files, and the starter show.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(EL_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/el")
set(EL_INCLUDE_DIR "${CMAKE_INSTALL_INCLUDEDIR}/el")
# Every library's headers sit under the one folder; the platform, under them all, names it.
target_include_directories(greeting_platform INTERFACE "$<INSTALL_INTERFACE:${EL_INCLUDE_DIR}>")

# Installed names: libel_*.a and el::* targets.
foreach(pair IN ITEMS greeting_platform:platform greeting_el:library greeting_sequencer:sequencer
                      greeting_app:shell greeting_host_sdl:host_sdl
                      greeting_host_headless:host_headless greeting_player:player
                      greeting_render:render greeting_warnings:warnings el_package:el)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 target)
  list(GET pair 1 name)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    set_target_properties(${target} PROPERTIES OUTPUT_NAME el_${name})
  endif()
  list(APPEND el_targets ${target})
endforeach()

install(TARGETS ${el_targets} EXPORT elTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT elTargets NAMESPACE el:: DESTINATION ${EL_CMAKE_DIR})

configure_package_config_file("${PROJECT_SOURCE_DIR}/cmake/elConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/elConfig.cmake" INSTALL_DESTINATION ${EL_CMAKE_DIR})
write_basic_package_version_file("${PROJECT_BINARY_DIR}/elConfigVersion.cmake"
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES "${PROJECT_BINARY_DIR}/elConfig.cmake" "${PROJECT_BINARY_DIR}/elConfigVersion.cmake"
              "${PROJECT_SOURCE_DIR}/cmake/Resources.cmake" "${PROJECT_SOURCE_DIR}/cmake/ElShow.cmake"
              "${PROJECT_SOURCE_DIR}/cmake/show_main.cpp.in"
        DESTINATION ${EL_CMAKE_DIR})

# The public headers keep their paths, so that a show includes "el/draw/blits.h" in the tree and
# out of it alike. The desktop host's headers stay out: they are the only ones that see SDL.
install(DIRECTORY el/ DESTINATION ${EL_INCLUDE_DIR}/el FILES_MATCHING PATTERN "*.h")
install(DIRECTORY platform/ DESTINATION ${EL_INCLUDE_DIR}/platform FILES_MATCHING PATTERN "*.h"
        PATTERN "sdl" EXCLUDE PATTERN "headless" EXCLUDE PATTERN "web" EXCLUDE)
install(FILES show/show_program.h show/scene_state.h show/transitions.h show/scroll_page.h
        DESTINATION ${EL_INCLUDE_DIR}/show)
install(FILES app/player_command.h DESTINATION ${EL_INCLUDE_DIR}/app)
install(FILES tools/render/render_command.h DESTINATION ${EL_INCLUDE_DIR}/tools/render)

# pkg-config: el for a show's code, el-player and el-render for its two programs.
if(GREETING_SANITIZE)
  set(EL_PC_CFLAGS " -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined")
  set(EL_PC_LIBS " -fsanitize=address,undefined")
endif()
string(REGEX REPLACE "[^/]+" ".." EL_PC_UP "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
foreach(pc IN ITEMS el el-player el-render)
  configure_file("${PROJECT_SOURCE_DIR}/cmake/${pc}.pc.in" "${PROJECT_BINARY_DIR}/${pc}.pc" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/${pc}.pc" DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

install(DIRECTORY examples/hello/ DESTINATION ${CMAKE_INSTALL_DATADIR}/el/hello)
