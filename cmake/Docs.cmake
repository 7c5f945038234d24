# The `docs` target: the reference of every public operation, made by Doxygen from the comments of
# the headers that `cmake --install` installs, into <build>/docs/html. Any warning fails it.
find_program(EL_DOXYGEN doxygen)
set(EL_DOCS_OUTPUT "${PROJECT_BINARY_DIR}/docs")
set(EL_DOCS_INPUT "${PROJECT_SOURCE_DIR}/docs/reference-main.md ${PROJECT_SOURCE_DIR}/el")
string(APPEND EL_DOCS_INPUT " ${PROJECT_SOURCE_DIR}/platform")
foreach(header IN ITEMS show/show_program.h show/scene_state.h show/transitions.h
                        show/scroll_page.h app/player_command.h tools/render/render_command.h)
  string(APPEND EL_DOCS_INPUT " ${PROJECT_SOURCE_DIR}/${header}")
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/cmake/Doxyfile.in" "${EL_DOCS_OUTPUT}/Doxyfile" @ONLY)
if(EL_DOXYGEN)
  add_custom_target(docs COMMAND "${EL_DOXYGEN}" "${EL_DOCS_OUTPUT}/Doxyfile"
                    WORKING_DIRECTORY "${EL_DOCS_OUTPUT}" VERBATIM
                    COMMENT "The reference: ${EL_DOCS_OUTPUT}/html/index.html")
else()
  add_custom_target(docs COMMAND "${CMAKE_COMMAND}" -E echo "docs: doxygen is not installed (Debian package doxygen)"
                    COMMAND "${CMAKE_COMMAND}" -E false VERBATIM)
endif()
