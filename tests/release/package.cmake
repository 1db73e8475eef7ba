# Makes the release package afresh, as a user's `--target package` does:
# an earlier package cannot stand in for one that was not made.
#
#   cmake -DBUILD_DIR=<build tree> -DPACKAGE=<package path> -P package.cmake
file(REMOVE ${PACKAGE} ${PACKAGE}.sha256)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                COMMAND_ERROR_IS_FATAL ANY)
if(NOT EXISTS ${PACKAGE} OR NOT EXISTS ${PACKAGE}.sha256)
  message(FATAL_ERROR "The package step made no ${PACKAGE} with its .sha256")
endif()
