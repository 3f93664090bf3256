# The product's identity, fixed when setup.exe is built: its names, program,
# publisher, registry key, version, icon and optional pages. The defaults are
# the sample's. Each bad value stops the configuration with one line.

set(INSTALLER_PRODUCT "Ashgrove Multiplayer demo" CACHE STRING "The product's full name (texts, shortcuts, program list)")
set(INSTALLER_PRODUCT_SHORT "Ashgrove MP demo" CACHE STRING "Name of the install folder and the Start-menu group")
set(INSTALLER_GAME_EXE "ashgrove.exe" CACHE STRING "The game's program, at the top of the install folder")
set(INSTALLER_PUBLISHER "Halvorin" CACHE STRING "Publisher shown in the system's program list")
set(INSTALLER_APP_KEY "" CACHE STRING "Registry key of the install folder under HKLM (empty: SOFTWARE\\<publisher>\\<product>)")
set(INSTALLER_VERSION "${PROJECT_VERSION}" CACHE STRING "Version X.Y.Z (version resource, DisplayVersion)")
set(INSTALLER_ICON "" CACHE FILEPATH "The .ico of setup.exe (empty: the sample's, drawn at build time)")
option(INSTALLER_ONLINE_ADDON "Offer the online-play add-on (page 6, its shortcut)" ON)
option(INSTALLER_DIRECTX_CHECK "Check for DirectX 8.1 (page 7 when missing)" ON)

# Every bad value is reported, one line each; then configuring stops.
# (The leading space keeps CMake from wrapping the line.)
function(product_refuse message)
  message(SEND_ERROR " ${message}")
endfunction()

# Names become file names, registry key names, shortcut names and C string
# literals: printable ASCII without what any of those cannot hold, and no
# space or dot at the end (Windows drops them from file names).
foreach(var INSTALLER_PRODUCT INSTALLER_PRODUCT_SHORT INSTALLER_GAME_EXE INSTALLER_PUBLISHER)
  set(value "${${var}}")
  if(NOT value MATCHES "^[ -~]+$" OR value MATCHES "[\\/:*?\"<>|%;]" OR value MATCHES "^ | $|[.]$")
    product_refuse("${var} \"${value}\": use printable ASCII without \\ / : * ? \" < > | % ; and no space or dot at either end")
  endif()
endforeach()
if(NOT INSTALLER_GAME_EXE MATCHES "^[^.]+[.][eE][xX][eE]$")
  product_refuse("INSTALLER_GAME_EXE \"${INSTALLER_GAME_EXE}\": name the program as NAME.exe (one dot)")
endif()

# The registry key: the sample's own key unless a product or publisher of
# one's own is named, then SOFTWARE\<publisher>\<product>.
set(_app_key "${INSTALLER_APP_KEY}")
if(_app_key STREQUAL "")
  if(INSTALLER_PRODUCT STREQUAL "Ashgrove Multiplayer demo" AND INSTALLER_PUBLISHER STREQUAL "Halvorin")
    set(_app_key "SOFTWARE\\Halvorin\\Ashgrove Demo")
  else()
    set(_app_key "SOFTWARE\\${INSTALLER_PUBLISHER}\\${INSTALLER_PRODUCT}")
  endif()
endif()
set(_key_ok ON)
if(NOT _app_key MATCHES "^[ -~]+$" OR _app_key MATCHES "[\"%;]|\\\\\\\\|^\\\\|\\\\$" OR
   NOT _app_key MATCHES "^[Ss][Oo][Ff][Tt][Ww][Aa][Rr][Ee]\\\\." OR _app_key MATCHES "[^\\\\]{256}")
  product_refuse("INSTALLER_APP_KEY \"${_app_key}\": use SOFTWARE\\NAME\\..., printable ASCII without \" % ;, names of 1 to 255")
  set(_key_ok OFF)
endif()

set(INSTALLER_VERSION_MAJOR 0)
set(INSTALLER_VERSION_MINOR 0)
set(INSTALLER_VERSION_PATCH 0)
set(_version_ok OFF)
if(INSTALLER_VERSION MATCHES "^([0-9][0-9]?[0-9]?[0-9]?[0-9]?)[.]([0-9][0-9]?[0-9]?[0-9]?[0-9]?)[.]([0-9][0-9]?[0-9]?[0-9]?[0-9]?)$")
  set(INSTALLER_VERSION_MAJOR ${CMAKE_MATCH_1})
  set(INSTALLER_VERSION_MINOR ${CMAKE_MATCH_2})
  set(INSTALLER_VERSION_PATCH ${CMAKE_MATCH_3})
  set(_version_ok ON)
endif()
if(INSTALLER_VERSION_MAJOR GREATER 65535 OR INSTALLER_VERSION_MINOR GREATER 65535 OR
   INSTALLER_VERSION_PATCH GREATER 65535 OR NOT _version_ok)
  product_refuse("INSTALLER_VERSION \"${INSTALLER_VERSION}\": use X.Y.Z, each a number up to 65535")
endif()

# The default install folder is C:\Program Files\<short name>: it, the game's
# program and Uninstall.exe in it must stay within what Windows creates
# (folders up to 248 characters, files up to 259).
string(LENGTH "C:\\Program Files\\${INSTALLER_PRODUCT_SHORT}" _folder)
string(LENGTH "${INSTALLER_GAME_EXE}" _exe)
string(LENGTH "Uninstall.exe" _uninstaller)
if(_exe LESS _uninstaller)
  set(_exe ${_uninstaller})
endif()
math(EXPR _file "${_folder} + 1 + ${_exe}")
if(_folder GREATER 248 OR _file GREATER 259)
  product_refuse("INSTALLER_PRODUCT_SHORT and INSTALLER_GAME_EXE: the install path C:\\Program Files\\${INSTALLER_PRODUCT_SHORT}\\${INSTALLER_GAME_EXE} passes the Windows path limits (248 for folders, 259 for files)")
endif()
# Shortcut names hold the product's name: the longest must be a file name.
string(LENGTH "Play ${INSTALLER_PRODUCT} Online With GameSpy Arcade.lnk" _link)
if(_link GREATER 255)
  product_refuse("INSTALLER_PRODUCT \"${INSTALLER_PRODUCT}\": too long for a shortcut's file name (at most 215 characters)")
endif()

set(_icon "${INSTALLER_ICON}")
if(NOT _icon STREQUAL "")
  if(NOT EXISTS "${_icon}" OR IS_DIRECTORY "${_icon}")
    product_refuse("INSTALLER_ICON ${_icon}: no such file")
  endif()
  # An icon file: reserved 0, type 1, at least one image.
  file(READ "${_icon}" _head LIMIT 6 HEX)
  if(NOT _head MATCHES "^00000100" OR _head MATCHES "0000$")
    product_refuse("INSTALLER_ICON ${_icon}: not an icon file (.ico)")
  endif()
endif()

# Derived: the strings as C literals, the identity of the single-instance
# mutex and the manifest (the key's last two names, letters and digits only),
# and the names the version resource shows (each word capitalised).
string(REPLACE "\\" "\\\\" INSTALLER_APP_KEY_LITERAL "${_app_key}")
string(REGEX MATCH "[^\\\\]+\\\\[^\\\\]+$" _tail "${_app_key}")
string(REGEX REPLACE "\\\\" "." _tail "${_tail}")
string(REGEX REPLACE "[^A-Za-z0-9.]" "" INSTALLER_IDENTITY "${_tail}.Setup")
if(_key_ok AND NOT INSTALLER_IDENTITY MATCHES "^[A-Za-z0-9]+[.][A-Za-z0-9]+[.]Setup$")
  product_refuse("INSTALLER_APP_KEY \"${_app_key}\": its last two names need letters or digits (they name the program's mutex and manifest)")
endif()
set(INSTALLER_TITLE "")
string(REPLACE " " ";" _words "${INSTALLER_PRODUCT}")
foreach(_word IN LISTS _words)
  string(SUBSTRING "${_word}" 0 1 _first)
  string(SUBSTRING "${_word}" 1 -1 _rest)
  string(TOUPPER "${_first}" _first)
  string(APPEND INSTALLER_TITLE " ${_first}${_rest}")
endforeach()
string(STRIP "${INSTALLER_TITLE}" INSTALLER_TITLE)
string(REPLACE "&" "&amp;" INSTALLER_TITLE_XML "${INSTALLER_TITLE}")
string(REPLACE "&" "&amp;" INSTALLER_PUBLISHER_XML "${INSTALLER_PUBLISHER}")
