# The numerics' flags come from kernels/src/numerics_flags.list alone: no build
# file spells one out on its own, and the staged Octave package's Makefile
# passes each GCC/clang one to every compile.  Run as a ctest test with
#   -DSOURCE_DIR=<source tree> [-DPACKAGE_SRC=<staged package's src folder>]
cmake_minimum_required(VERSION 3.20)  # a recursive glob follows no symbolic link
file(STRINGS ${SOURCE_DIR}/kernels/src/numerics_flags.list entries REGEX "^[a-z]+ +[^ ]")
list(TRANSFORM entries REPLACE "^[a-z]+ +" "" OUTPUT_VARIABLE flags)
list(FILTER entries INCLUDE REGEX "^gnu ")
list(TRANSFORM entries REPLACE "^gnu +" "" OUTPUT_VARIABLE gnu_flags)

# The folders one by one: the whole source folder may hold build trees.
set(globs)
foreach(folder bench cmake demo fuzz gateway kernels matlab packaging plugins scripts tests)
  foreach(pattern CMakeLists.txt *.cmake *.in Makefile *.m *.sh)
    list(APPEND globs ${SOURCE_DIR}/${folder}/${pattern})
  endforeach()
endforeach()
file(GLOB_RECURSE build_files ${globs})
list(APPEND build_files ${SOURCE_DIR}/CMakeLists.txt)
foreach(file IN LISTS build_files)
  file(READ ${file} text)
  foreach(flag IN LISTS flags)
    string(FIND "${text}" "${flag}" at)
    if(NOT at EQUAL -1)
      message(SEND_ERROR "${file} spells out ${flag}: take it from the list")
    endif()
  endforeach()
endforeach()

if(PACKAGE_SRC)
  execute_process(COMMAND make -n -C ${PACKAGE_SRC} OUTPUT_VARIABLE commands COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "[^\n]*mkoctfile [^\n]*" compiles "${commands}")
  if(NOT compiles OR NOT gnu_flags)
    message(FATAL_ERROR "No compile commands from make -n, or no flags:\n${commands}")
  endif()
  foreach(command IN LISTS compiles)
    foreach(flag IN LISTS gnu_flags)
      string(FIND "${command}" " ${flag} " at)
      if(at EQUAL -1)
        message(SEND_ERROR "The package's Makefile compiles without ${flag}:\n${command}")
      endif()
    endforeach()
  endforeach()
endif()
