# Checks shared by the install test and the package test: what an installed tree holds, that
# its menu entry and metadata pass the desktop's validators, and that a program in it finds
# its help page. Expects SOURCE_DIR, PROBE and WORK_DIR, and FACE_MODEL when the build prepared
# the face-landmark model.

function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

# Every file installed, relative to the prefix.
set(APP_ID nl.portrik.Portrik)
set(INSTALLED_FILES
  bin/portrik
  bin/portrik-passport
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/doc/portrik/copyright
  share/doc/portrik/changelog.gz)
set(ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(size IN LISTS ICON_SIZES)
  list(APPEND INSTALLED_FILES share/icons/hicolor/${size}x${size}/apps/portrik.png)
endforeach()
file(GLOB_RECURSE help_files RELATIVE "${SOURCE_DIR}/help" "${SOURCE_DIR}/help/*")
foreach(file IN LISTS help_files)
  list(APPEND INSTALLED_FILES share/portrik/help/${file})
endforeach()
# The prepared face-landmark model, when the build made one (FACE_MODEL: its file name).
if(FACE_MODEL)
  list(APPEND INSTALLED_FILES share/portrik/${FACE_MODEL})
endif()

# `root` holds exactly the installed files under `prefix` (a folder in it, or "") and nothing
# else; the programs can be run.
function(expect_installed_files root prefix)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
  set(missing "")
  foreach(file IN LISTS INSTALLED_FILES)
    list(REMOVE_ITEM found "${prefix}${file}")
    if(NOT EXISTS "${root}/${prefix}${file}")
      list(APPEND missing "${prefix}${file}")
    endif()
  endforeach()
  if(missing OR found)
    fail("in ${root}:\n  missing: ${missing}\n  not expected: ${found}")
  endif()
  foreach(program portrik portrik-passport)
    execute_process(COMMAND test -x "${root}/${prefix}bin/${program}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      fail("bin/${program} is not executable")
    endif()
  endforeach()
endfunction()

# Runs `command`; fails with its output unless it exits 0.
function(expect_success what)
  execute_process(COMMAND ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    fail("${what} failed:\n${output}${errors}")
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

# The menu entry starts the program by name and shows its icon; it and the AppStream
# metadata pass the validators of a desktop and a software centre; each icon is as large as
# its folder says (48 x 48 is the size every desktop falls back on).
function(expect_desktop_integration prefix)
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
  find_program(APPSTREAMCLI appstreamcli REQUIRED)
  set(entry "${prefix}/share/applications/${APP_ID}.desktop")
  file(STRINGS "${entry}" lines)
  foreach(line "[Desktop Entry]" "Type=Application" "Name=Portrik" "Exec=portrik" "Icon=portrik"
               "Terminal=false")
    if(NOT line IN_LIST lines)
      fail("${APP_ID}.desktop lacks '${line}'")
    endif()
  endforeach()
  expect_success("desktop-file-validate" "${DESKTOP_FILE_VALIDATE}" "${entry}")
  # The whole tree, so that the metadata's menu entry must be there too.
  expect_success("appstreamcli validate-tree" "${APPSTREAMCLI}" validate-tree --no-net "${prefix}")
  foreach(size IN LISTS ICON_SIZES)
    set(icon "${prefix}/share/icons/hicolor/${size}x${size}/apps/portrik.png")
    png_size("${icon}" actual)
    if(NOT actual STREQUAL "${size}x${size}")
      fail("${icon} is ${actual}")
    endif()
  endforeach()
endfunction()

# Runs the probe from `folder` and checks that it opened the main window and showed `expected`
# through Help / "Help".
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
