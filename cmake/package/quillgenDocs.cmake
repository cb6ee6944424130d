# quillgen_add_docs(<target> [ALL]
#     SOURCES <inputs...>              .dg and .h files; headers are rendered first
#     [OUTPUT_DIRECTORY <dir>]         manual pages; default ${CMAKE_CURRENT_BINARY_DIR}/<target>
#     [HEADER_OUTPUT_DIRECTORY <dir>]  header pages; default <OUTPUT_DIRECTORY>/api
#     [MENU_DEFINITIONS <file>]        QUILLGEN_MENU_DEFINITIONS for the run
#     [PROPERTIES <file>]              QUILLGEN_PROPERTIES for the run
#     [SITE]                           QUILLGEN_SITE=1: search, contents and index pages
#     [WARNINGS_AS_ERRORS])            QUILLGEN_WARNINGS=error
#
# Adds a target that renders all the inputs in one quillgen run, so that links between
# manual and reference pages resolve and one search covers both. The run works in the
# manuals' folder (they share one), so includes, presented and copied-in files resolve
# from there and warnings name the files themselves; the manuals' pages, with the
# icons and images they show, are written to OUTPUT_DIRECTORY (QUILLGEN_MANUAL_OUTPUT),
# and a page that a later build no longer makes is deleted (QUILLGEN_PRUNE). Each
# output folder gets the stylesheet the pages link. quillgen's dependency file tells
# the build what the pages were made from, so a build reruns it only when one of those
# files (or quillgen) changed.

# Dependency files of custom commands under every generator came with CMake 3.20.
if(CMAKE_VERSION VERSION_LESS 3.20)
  message(FATAL_ERROR "quillgen_add_docs() needs CMake 3.20 or later")
endif()

# Relative depfile paths mean the same to every generator only with this policy.
if(POLICY CMP0116)
  cmake_policy(SET CMP0116 NEW)
endif()

function(quillgen_add_docs target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "ALL;SITE;WARNINGS_AS_ERRORS"
                        "OUTPUT_DIRECTORY;HEADER_OUTPUT_DIRECTORY;MENU_DEFINITIONS;PROPERTIES"
                        "SOURCES")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "quillgen_add_docs(${target}): unknown arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "quillgen_add_docs(${target}): SOURCES names no input")
  endif()

  if(NOT arg_OUTPUT_DIRECTORY)
    set(arg_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  endif()
  get_filename_component(output "${arg_OUTPUT_DIRECTORY}" ABSOLUTE
                         BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  if(NOT arg_HEADER_OUTPUT_DIRECTORY)
    set(arg_HEADER_OUTPUT_DIRECTORY "${output}/api")
  endif()
  get_filename_component(headerOutput "${arg_HEADER_OUTPUT_DIRECTORY}" ABSOLUTE
                         BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  set(sources "")
  set(manualFolder "")
  foreach(source IN LISTS arg_SOURCES)
    get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND sources "${source}")
    if(source MATCHES "\\.dg$")
      get_filename_component(folder "${source}" DIRECTORY)
      if(manualFolder AND NOT folder STREQUAL manualFolder)
        message(FATAL_ERROR "quillgen_add_docs(${target}): the manuals lie in two folders, "
                            "${manualFolder} and ${folder}; a run reads a manual's files from "
                            "its folder, so give each folder a target of its own")
      endif()
      set(manualFolder "${folder}")
    elseif(NOT source MATCHES "\\.h$")
      message(FATAL_ERROR "quillgen_add_docs(${target}): ${source} is neither a .dg nor a .h file")
    endif()
  endforeach()
  foreach(file IN ITEMS MENU_DEFINITIONS PROPERTIES)
    if(arg_${file})
      get_filename_component(arg_${file} "${arg_${file}}" ABSOLUTE
                             BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    endif()
  endforeach()

  set(runScript "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/quillgenRunDocs.cmake")
  get_target_property(stylesheet quillgen::quillgen QUILLGEN_STYLESHEET)
  set(work "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.quillgen")
  set(stamp "${work}/stamp")
  set(depfile "${work}/depfile.d")
  set(parameters "${work}/parameters.cmake")
  # The parameters go through a file rather than the command line: paths may hold
  # spaces, lists hold semicolons, and a changed call must rerun the command.
  set(content "")
  foreach(pair IN ITEMS "EXECUTABLE;$<TARGET_FILE:quillgen::quillgen>"
                        "STYLESHEET;${stylesheet}"
                        "OUTPUT_DIRECTORY;${output}" "HEADER_OUTPUT_DIRECTORY;${headerOutput}"
                        "MENU_DEFINITIONS;${arg_MENU_DEFINITIONS}"
                        "PROPERTIES;${arg_PROPERTIES}" "SITE;${arg_SITE}"
                        "WARNINGS_AS_ERRORS;${arg_WARNINGS_AS_ERRORS}"
                        "STAMP;${stamp}" "DEPFILE;${depfile}")
    list(GET pair 0 name)
    list(GET pair 1 value)
    string(APPEND content "set(QUILLGEN_${name} [==[${value}]==])\n")
  endforeach()
  string(APPEND content "set(QUILLGEN_SOURCES \"\")\n")
  foreach(source IN LISTS sources)
    string(APPEND content "list(APPEND QUILLGEN_SOURCES [==[${source}]==])\n")
  endforeach()
  file(GENERATE OUTPUT "${parameters}" CONTENT "${content}")

  add_custom_command(
    OUTPUT "${stamp}"
    COMMAND "${CMAKE_COMMAND}" "-DQUILLGEN_PARAMETERS=${parameters}" -P "${runScript}"
    DEPENDS ${sources} ${arg_MENU_DEFINITIONS} ${arg_PROPERTIES}
            "$<TARGET_FILE:quillgen::quillgen>" "${parameters}"
            "${runScript}" "${stylesheet}"
    DEPFILE "${depfile}"
    COMMENT "Rendering ${target} with quillgen"
    VERBATIM)
  set(all "")
  if(arg_ALL)
    set(all ALL)
  endif()
  add_custom_target(${target} ${all} DEPENDS "${stamp}")
endfunction()
