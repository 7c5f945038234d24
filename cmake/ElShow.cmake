# el_add_show(NAME PROGRAM function [SOURCES file...] [MANIFEST file] [LIBRARIES target...])
#
# Makes a show's two programs: NAME, the player on the desktop (a web page in the browser build),
# and NAME-render, the same show on a virtual clock without a display (video, frames, audio,
# contact sheet, frame hashes).
# PROGRAM names the show's function that returns its `const show::ShowProgram&`, with its
# namespace (hello::HelloProgram); both programs' main is generated around that one call.
# SOURCES become the library NAME_show; MANIFEST embeds the show's pictures and sounds (see
# el_add_resources); LIBRARIES are further targets holding the show or its resources (then one
# of them must hold the resources). SOURCES alone give a show without built-in resources.
function(el_add_show name)
  cmake_parse_arguments(ARG "" "PROGRAM;MANIFEST" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT ARG_PROGRAM)
    message(FATAL_ERROR "el_add_show(${name}): PROGRAM is required")
  endif()
  if(NOT ARG_SOURCES AND NOT ARG_LIBRARIES)
    message(FATAL_ERROR "el_add_show(${name}): give the show's SOURCES or LIBRARIES")
  endif()
  if(NOT ARG_PROGRAM MATCHES "^(([A-Za-z_][A-Za-z0-9_]*::)*)([A-Za-z_][A-Za-z0-9_]*)$")
    message(FATAL_ERROR "el_add_show(${name}): PROGRAM is not a function name: ${ARG_PROGRAM}")
  endif()
  # The declaration the generated main needs, in the function's own namespace.
  set(function "${CMAKE_MATCH_3}")
  string(REGEX REPLACE "::$" "" space "${CMAKE_MATCH_1}")
  set(EL_SHOW_PROGRAM "${ARG_PROGRAM}")
  if(space STREQUAL "")
    set(EL_SHOW_DECLARATION "const show::ShowProgram& ${function}();")
  else()
    set(EL_SHOW_DECLARATION
        "namespace ${space} {\nconst ::show::ShowProgram& ${function}();\n}  // namespace ${space}")
  endif()

  set(libraries ${ARG_LIBRARIES})
  if(ARG_SOURCES)
    add_library(${name}_show STATIC ${ARG_SOURCES})
    target_link_libraries(${name}_show PUBLIC el::el)
    list(APPEND libraries ${name}_show)
  endif()
  if(NOT ARG_MANIFEST AND NOT ARG_LIBRARIES)
    # A show of drawing and text alone still needs the (empty) table of built-in resources.
    set(ARG_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/${name}_no_resources.txt")
    file(WRITE "${ARG_MANIFEST}" "# ${name} has no built-in resources.\n")
  endif()
  if(ARG_MANIFEST)
    el_add_resources(${name}_resources "${ARG_MANIFEST}")
    list(APPEND libraries ${name}_resources)
  endif()

  set(template "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/show_main.cpp.in")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${name}_main")
  set(EL_SHOW_NAME "${name}")
  set(EL_SHOW_COMMAND_HEADER "app/player_command.h")
  set(EL_SHOW_COMMAND "app::PlayerCommand")
  configure_file("${template}" "${out}/player_main.cpp" @ONLY)
  set(EL_SHOW_NAME "${name}-render")
  set(EL_SHOW_COMMAND_HEADER "tools/render/render_command.h")
  set(EL_SHOW_COMMAND "render::RenderCommand")
  configure_file("${template}" "${out}/render_main.cpp" @ONLY)

  add_executable(${name} "${out}/player_main.cpp")
  target_link_libraries(${name} PRIVATE el::player ${libraries})
  # The browser build makes the player's page alone: the renderer is a desktop program.
  if(NOT EMSCRIPTEN)
    add_executable(${name}-render "${out}/render_main.cpp")
    target_link_libraries(${name}-render PRIVATE el::render ${libraries})
  endif()
endfunction()
