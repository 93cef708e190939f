# cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DVERSION=... -DCPACK=... -DPROBE=... -DPROGRAM_TEST=...
#       -DWORK_DIR=... -P CheckPackage.cmake
# Makes the Debian package of the build, unpacks it into a folder (nothing is installed on the
# machine) and checks what a user would get from `apt install`.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/InstalledTree.cmake)

# Lintian warnings the package is known to give, each explained in the README.
set(ACCEPTED_LINTIAN_WARNINGS no-manual-page)

find_program(DPKG_DEB dpkg-deb REQUIRED)
find_program(LINTIAN lintian REQUIRED)

file(REMOVE_RECURSE "${WORK_DIR}")
expect_success("cpack" "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -G DEB -B "${WORK_DIR}")
file(GLOB package "${WORK_DIR}/portrik_*.deb")
list(LENGTH package count)
if(NOT count EQUAL 1)
  fail("cpack made ${count} packages: ${package}")
endif()

# The control fields: the architecture of this machine, the libraries the programs link
# (found by dpkg-shlibdeps) and the data packages nothing links.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE architecture
  OUTPUT_STRIP_TRAILING_WHITESPACE)
foreach(field Package Version Architecture Depends Recommends Maintainer Description)
  execute_process(COMMAND "${DPKG_DEB}" --field "${package}" ${field}
    OUTPUT_VARIABLE ${field} OUTPUT_STRIP_TRAILING_WHITESPACE)
endforeach()
if(NOT Package STREQUAL "portrik" OR NOT Version STREQUAL VERSION OR
   NOT Architecture STREQUAL architecture OR NOT Maintainer OR NOT Description MATCHES "\n")
  fail("control fields: Package '${Package}', Version '${Version}', Architecture "
       "'${Architecture}', Maintainer '${Maintainer}', Description '${Description}'")
endif()
foreach(dependency libc6 libqt6widgets6 libturbojpeg0 fonts-comic-neue fonts-liberation
                   libheif1 liblcms2-2 qt6-image-formats-plugins)
  if(NOT Depends MATCHES "(^|, )${dependency}( |,|$)")
    fail("Depends lacks ${dependency}: ${Depends}")
  endif()
endforeach()
# Debian's landmark model is what the programs fall back on when the package's own is missing.
if(Depends MATCHES "libdlib-data" OR NOT Recommends MATCHES "(^|, )libdlib-data( |,|$)")
  fail("libdlib-data belongs in Recommends, not Depends: '${Depends}', '${Recommends}'")
endif()

# The unpacked tree: exactly the installed files under /usr, the desktop's validators, and
# notes on this version in the changelog and the AppStream metadata.
set(root "${WORK_DIR}/root")
expect_success("dpkg-deb -x" "${DPKG_DEB}" -x "${package}" "${root}")
expect_installed_files("${root}" "usr/")
expect_desktop_integration("${root}/usr")
execute_process(COMMAND gzip -dc "${root}/usr/share/doc/portrik/changelog.gz"
  OUTPUT_VARIABLE changelog)
file(READ "${root}/usr/share/metainfo/${APP_ID}.metainfo.xml" metainfo)
if(NOT changelog MATCHES "^portrik \\(${VERSION}\\)" OR
   NOT metainfo MATCHES "<release version=\"${VERSION}\"")
  fail("the changelog or the AppStream metadata has no notes on version ${VERSION}")
endif()

# The unpacked program shows its window with the start-up picture; a program beside it opens
# the same window and finds the unpacked help page.
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "PORTRIK_PROGRAM=${root}/usr/bin/portrik"
                        "${PROGRAM_TEST}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("the unpacked program did not show its window:\n${output}${errors}")
endif()
expect_help_found("${root}/usr/bin" "${root}/usr/share/portrik/help/portrik.htm")

# Lintian: no errors, and no warnings beyond the known ones.
execute_process(COMMAND "${LINTIAN}" --no-cfg --fail-on error "${package}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(REGEX MATCHALL "W: portrik[^:]*: [^ \n]+" warnings "${output}")
list(TRANSFORM warnings REPLACE "^.*: " "")
list(REMOVE_ITEM warnings ${ACCEPTED_LINTIAN_WARNINGS})
if(NOT result EQUAL 0 OR warnings)
  fail("lintian:\n${output}${errors}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "packaged, unpacked and checked ${package}")
