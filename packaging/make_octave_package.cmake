# Makes the Octave package release tarball: run as
#   cmake -DVORLAN_SOURCE_DIR=<source tree> -DVORLAN_VERSION=<x.y.z>
#         -DSTAGE_DIR=<scratch folder> -DOUTPUT=<path>.tar.gz -P make_octave_package.cmake
#
# Layout, as Octave's `pkg install` expects it:
#   vorlan-<version>/DESCRIPTION, INDEX (its function list from plugins.list)
#   vorlan-<version>/COPYING      the source tree's LICENSE
#   vorlan-<version>/inst/        help files, installed as they are
#   vorlan-<version>/src/         plug-in sources, plugins.list and the Makefile
#                                 that pkg runs; the *.mex it leaves there are
#                                 installed
#     src/kernels/                kernel sources, their private headers, the
#                                 source list and the numerics' flags
#     src/include/vorlan/         kernel and gateway headers
foreach(var VORLAN_SOURCE_DIR VORLAN_VERSION STAGE_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_octave_package.cmake needs -D${var}=...")
  endif()
endforeach()

set(package_name vorlan-${VORLAN_VERSION})
set(root ${STAGE_DIR}/${package_name})
set(templates ${CMAKE_CURRENT_LIST_DIR}/octave)
file(REMOVE_RECURSE ${root})
file(MAKE_DIRECTORY ${root}/inst ${root}/src/kernels ${root}/src/include/vorlan)

# The release date follows SOURCE_DATE_EPOCH when it is set.
string(TIMESTAMP VORLAN_DATE "%Y-%m-%d" UTC)
configure_file(${templates}/DESCRIPTION.in ${root}/DESCRIPTION @ONLY)
configure_file(${VORLAN_SOURCE_DIR}/LICENSE ${root}/COPYING COPYONLY)
file(COPY ${templates}/Makefile ${VORLAN_SOURCE_DIR}/plugins/plugins.list DESTINATION ${root}/src)

# The plug-ins, one a line in plugins.list; INDEX lists them, one a line
# after its category line.
file(STRINGS ${VORLAN_SOURCE_DIR}/plugins/plugins.list functions REGEX "^[^#]")
if(NOT functions)
  message(FATAL_ERROR "No plug-ins listed in ${VORLAN_SOURCE_DIR}/plugins/plugins.list")
endif()
list(TRANSFORM functions PREPEND " " OUTPUT_VARIABLE index_lines)
list(JOIN index_lines "\n" VORLAN_INDEX_FUNCTIONS)
configure_file(${templates}/INDEX.in ${root}/INDEX @ONLY)
foreach(function IN LISTS functions)
  file(COPY ${VORLAN_SOURCE_DIR}/matlab/${function}.m DESTINATION ${root}/inst)
  file(COPY ${VORLAN_SOURCE_DIR}/plugins/${function}.cpp DESTINATION ${root}/src)
endforeach()

file(GLOB_RECURSE kernel_sources ${VORLAN_SOURCE_DIR}/kernels/src/*.cpp)
file(GLOB headers ${VORLAN_SOURCE_DIR}/kernels/include/vorlan/*.hpp
                  ${VORLAN_SOURCE_DIR}/gateway/include/vorlan/*.hpp)
if(NOT kernel_sources OR NOT headers)
  message(FATAL_ERROR "No kernel sources or headers under ${VORLAN_SOURCE_DIR}")
endif()
# The kernel folder as it is: its sources include their private headers by
# paths relative to themselves.
file(COPY ${VORLAN_SOURCE_DIR}/kernels/src/ DESTINATION ${root}/src/kernels
  FILES_MATCHING PATTERN "*.cpp" PATTERN "*.hpp" PATTERN "*.list")
file(COPY ${headers} DESTINATION ${root}/src/include/vorlan)

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
# One top-level folder in the archive, as pkg expects: tar runs in the
# scratch folder so that the stored paths start at vorlan-<version>/.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar czf ${OUTPUT} --format=gnutar ${package_name}
  WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Could not write ${OUTPUT}")
endif()
