# Run by the command that quillgen_add_docs() adds, as
#   cmake -DQUILLGEN_PARAMETERS=<parameters.cmake> -P quillgenRunDocs.cmake
# Renders every source in one quillgen run from the manuals' own folder, headers
# first, with the manuals' pages (and the icons and images they show) written to the
# output folder; copies the stylesheet and turns quillgen's dependency file into one
# for the build's stamp.
cmake_minimum_required(VERSION 3.20)
include("${QUILLGEN_PARAMETERS}")
set(output "${QUILLGEN_OUTPUT_DIRECTORY}")
file(MAKE_DIRECTORY "${output}" "${QUILLGEN_HEADER_OUTPUT_DIRECTORY}")
file(REMOVE "${QUILLGEN_STAMP}" "${QUILLGEN_DEPFILE}")

# Headers first, whatever the order given: a manual's links into the reference pages
# then find them written, and one search covers both.
set(headers "")
set(manuals "")
set(folder "${output}")
foreach(source IN LISTS QUILLGEN_SOURCES)
  if(source MATCHES "\\.dg$")
    list(APPEND manuals "${source}")
    get_filename_component(folder "${source}" DIRECTORY)
  else()
    list(APPEND headers "${source}")
  endif()
endforeach()

set(ENV{QUILLGEN_MANUAL_OUTPUT} "${output}")
set(ENV{QUILLGEN_PRUNE} 1)
set(ENV{QUILLGEN_DEPFILE} "${QUILLGEN_DEPFILE}.run")
foreach(variable IN ITEMS MENU_DEFINITIONS PROPERTIES)
  if(QUILLGEN_${variable})
    set(ENV{QUILLGEN_${variable}} "${QUILLGEN_${variable}}")
  endif()
endforeach()
if(QUILLGEN_SITE)
  set(ENV{QUILLGEN_SITE} 1)
endif()
if(QUILLGEN_WARNINGS_AS_ERRORS)
  set(ENV{QUILLGEN_WARNINGS} error)
endif()
execute_process(COMMAND "${QUILLGEN_EXECUTABLE}" -o "${QUILLGEN_HEADER_OUTPUT_DIRECTORY}"
                        ${headers} ${manuals}
                WORKING_DIRECTORY "${folder}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${QUILLGEN_DEPFILE}.run")
  message(FATAL_ERROR "quillgen failed (${status})")
endif()

foreach(directory IN ITEMS "${output}" "${QUILLGEN_HEADER_OUTPUT_DIRECTORY}")
  file(COPY "${QUILLGEN_STYLESHEET}" DESTINATION "${directory}")
endforeach()

# quillgen's rule names its pages; the build's names the stamp, with the same
# prerequisites (absolute and escaped), one a line after the targets.
file(READ "${QUILLGEN_DEPFILE}.run" rule)
file(REMOVE "${QUILLGEN_DEPFILE}.run")
string(FIND "${rule}" "\n" end)
math(EXPR end "${end} + 1")
string(SUBSTRING "${rule}" ${end} -1 prerequisites)
file(WRITE "${QUILLGEN_DEPFILE}" "${QUILLGEN_STAMP}: \\\n${prerequisites}")
file(TOUCH "${QUILLGEN_STAMP}")
