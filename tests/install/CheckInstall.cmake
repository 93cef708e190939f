# cmake -DBUILD_DIR=... -DPROBE=... -DWORK_DIR=... -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)

function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

function(expect_file path)
  if(NOT EXISTS "${path}")
    fail("not installed: ${path}")
  endif()
endfunction()

# Width and height from a PNG file's header.
function(png_size path out)
  file(READ "${path}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 8 width_hex)
  string(SUBSTRING "${header}" 40 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  set(${out} "${width}x${height}" PARENT_SCOPE)
endfunction()

# Runs the probe from `folder` and checks that it showed `expected`.
function(expect_help_found folder expected)
  get_filename_component(probe_name "${PROBE}" NAME)
  file(COPY "${PROBE}" DESTINATION "${folder}")
  execute_process(COMMAND "${folder}/${probe_name}"
    WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  file(REMOVE "${folder}/${probe_name}")
  string(REPLACE "\n" ";" lines "${output}")
  list(GET lines 0 shown)
  list(GET lines 1 title)
  if(NOT result EQUAL 0 OR NOT shown STREQUAL expected OR NOT title STREQUAL "Portrik Help")
    fail("from ${folder} the help page was not found:\n  shown '${shown}', title '${title}',\n"
         "  expected '${expected}'\n${errors}")
  endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  fail("cmake --install failed:\n${output}\n${errors}")
endif()

# The program, the command-line program beside it, and the help page with its pictures.
foreach(program portrik portrik-passport)
  expect_file("${prefix}/bin/${program}")
  execute_process(COMMAND test -x "${prefix}/bin/${program}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    fail("bin/${program} is not executable")
  endif()
endforeach()
foreach(file portrik.htm window.png guides.png layouts.png)
  expect_file("${prefix}/share/portrik/help/${file}")
endforeach()

# The menu entry starts the program by name and shows its icon.
set(entry "${prefix}/share/applications/portrik.desktop")
expect_file("${entry}")
file(STRINGS "${entry}" lines)
foreach(line "[Desktop Entry]" "Type=Application" "Name=Portrik" "Exec=portrik" "Icon=portrik"
             "Terminal=false")
  if(NOT line IN_LIST lines)
    fail("portrik.desktop lacks '${line}'")
  endif()
endforeach()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${entry}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    fail("desktop-file-validate: ${output}${errors}")
  endif()
endif()

# The icon theme's sizes, each picture as large as its folder says; 48 x 48 is the size
# every desktop falls back on.
foreach(size 16 22 24 32 48 64 128 256)
  set(icon "${prefix}/share/icons/hicolor/${size}x${size}/apps/portrik.png")
  expect_file("${icon}")
  png_size("${icon}" actual)
  if(NOT actual STREQUAL "${size}x${size}")
    fail("${icon} is ${actual}")
  endif()
endforeach()

# The installed program finds its installed help page, and a build finds the copy beside
# the built program.
expect_help_found("${prefix}/bin" "${prefix}/share/portrik/help/portrik.htm")
expect_help_found("${BUILD_DIR}" "${BUILD_DIR}/help/portrik.htm")

file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "installed into ${prefix} and found the help page")
