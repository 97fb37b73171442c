# Installs the built tree into a staging prefix, then configures, builds and
# runs a separate project that uses the installed package the way a user
# would.  Run as a ctest test (after the build) with
#   -DBUILD_DIR -DSTAGE_DIR -DAPP_SOURCE_DIR -DAPP_BUILD_DIR -DGENERATOR
#   -DCXX_COMPILER -DBUILD_TYPE [-DEXTRA_FLAGS]
#   [-DTOOLCHAIN_FILE -DEMULATOR -DEXECUTABLE_SUFFIX]  (a cross build: the app is
#   built with the tree's toolchain file and run under its emulator)
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "Failed (${status}): ${command}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${STAGE_DIR} ${APP_BUILD_DIR} ${APP_BUILD_DIR}-v2)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE_DIR})
file(READ ${STAGE_DIR}/share/doc/vorlan/LICENSE licence)
if(NOT licence MATCHES "BSD 3-Clause License")
  message(FATAL_ERROR "The installed share/doc/vorlan/LICENSE is not the BSD licence")
endif()

# Only the installed package may satisfy find_package: no registry, no build
# tree.
set(configure_args
  -G ${GENERATOR}
  -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
  -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
  -DCMAKE_PREFIX_PATH=${STAGE_DIR}
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
  -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
if(TOOLCHAIN_FILE)
  # The toolchain's search roots would hide the staging prefix.
  list(APPEND configure_args -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}
       -DCMAKE_FIND_ROOT_PATH=${STAGE_DIR})
endif()
# Given only when wanted: an empty value would replace the toolchain's own
# linker flags (MinGW's static runtimes).
if(EXTRA_FLAGS)
  list(APPEND configure_args "-DCMAKE_CXX_FLAGS=${EXTRA_FLAGS}"
       "-DCMAKE_EXE_LINKER_FLAGS=${EXTRA_FLAGS}")
endif()
run(${CMAKE_COMMAND} -S ${APP_SOURCE_DIR} -B ${APP_BUILD_DIR} ${configure_args})
run(${CMAKE_COMMAND} --build ${APP_BUILD_DIR})
run(${EMULATOR} ${APP_BUILD_DIR}/vorlan_consumer${EXECUTABLE_SUFFIX})
message(STATUS "${run_output}")
if(NOT run_output MATCHES "^w\\(1\\+1i\\) = 0\\.304744 \\+ 0\\.208219i\r?\nF\\(nu0\\) = 0\\.224555")
  message(FATAL_ERROR "Unexpected output of the consumer: ${run_output}")
endif()

# The version file must turn away a request for another major version.
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${APP_SOURCE_DIR} -B ${APP_BUILD_DIR}-v2 ${configure_args}
          -DVORLAN_REQUIRED_VERSION=2.0
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(status EQUAL 0)
  message(FATAL_ERROR "find_package(vorlan 2.0) accepted the installed 1.x package")
endif()
file(REMOVE_RECURSE ${APP_BUILD_DIR}-v2)
