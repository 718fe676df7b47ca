# `cpack -G DEB` from a release build makes the Debian package. dpkg-shlibdeps finds the libraries
# the program links; VANTREL_RUNTIME_PACKAGES names what it needs at run time without linking it.
set(VANTREL_RUNTIME_PACKAGES
  ca-certificates         # certificates for https feeds; libcurl only recommends them
  xdg-utils               # xdg-open hands links to the browser
  sound-theme-freedesktop # the named alert sounds
)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "The Vantrel developers")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <developers@vantrel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "news ticker for RSS and Atom feeds")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Vantrel merges the headlines of your RSS and Atom feeds into one narrow bar"
  "at the edge of the screen. New headlines slide in at the top one at a time;"
  "headlines with one of your keywords stand out and can play a sound and post"
  "a desktop notification. A click previews an entry, a double click opens it"
  "in the web browser. Vantrel takes feed: links from the browser, imports and"
  "exports OPML, and has a command line for scripts and terminals.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantrel.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
list(JOIN VANTREL_RUNTIME_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
