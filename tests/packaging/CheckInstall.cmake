# cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DPROBE=... -DWORK_DIR=... -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
expect_success("cmake --install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")

expect_installed_files("${prefix}" "")
expect_desktop_integration("${prefix}")

# The installed program finds its installed help page, and a build finds the copy beside
# the built program.
expect_help_found("${prefix}/bin" "${prefix}/share/portrik/help/portrik.htm")
expect_help_found("${BUILD_DIR}" "${BUILD_DIR}/help/portrik.htm")

file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "installed into ${prefix} and found the help page")
