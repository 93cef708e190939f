# `cpack` in a build folder makes portrik_<version>_<architecture>.deb of everything the build
# installs. The libraries it needs come from dpkg-shlibdeps; the fonts the windows were laid
# out with are data, which no binary names, so they are listed. The package carries dlib's
# face-landmark model as the build prepared it; Debian's own file (libdlib-data) is only what
# the programs fall back on, so it is recommended, not required.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME portrik)
set(CPACK_PACKAGE_CONTACT "${PORTRIK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "passport photos from an ordinary digital photo")
set(CPACK_PACKAGE_DESCRIPTION [=[
Portrik makes passport photos from an ordinary photo, following the Dutch
passport-photo rules of 2006. Load a JPEG, BMP or GIF, zoom and pan it, place
the capture frame over the face and click: the framed area becomes the
passport photo. Guides show where the eyes and the head must lie, for
children up to 10 and for persons from 11.

The photo can be altered with fifteen filters, flipped and given a border,
saved as BMP or JPEG, and printed on A4 in sixteen sheet layouts: rows of
35 x 45 mm photos with cut lines, a single row or column for a sheet used
before, 42 stamps with text, or a poster.]=])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Nothing links Qt's WebP and TIFF readers (plugins, loaded when a photo needs them), so
# dpkg-shlibdeps cannot find them; libheif and LittleCMS it finds.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-comic-neue, fonts-liberation, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libdlib-data")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A packaged program carries no debugging symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
