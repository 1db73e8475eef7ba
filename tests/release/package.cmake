# Makes the release package afresh, as a user's `--target package` does:
# an earlier package cannot stand in for one that was not made.
#
#   cmake -DBUILD_DIR=<build tree> -P package.cmake
file(GLOB earlier ${BUILD_DIR}/tolvane-*.zip ${BUILD_DIR}/tolvane_*.deb
                  ${BUILD_DIR}/tolvane-*.zip.sha256 ${BUILD_DIR}/tolvane_*.deb.sha256)
if(earlier)
  file(REMOVE ${earlier})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target package
                COMMAND_ERROR_IS_FATAL ANY)
