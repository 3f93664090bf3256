# System libraries that only some of the program's work needs (shortcuts, the
# web link, screen readers) are loaded at their first call rather than at the
# start, where every library loaded lengthens the time to the first frame. add_delay_loaded_library(NAME DLL FUNCTION@BYTES...) makes the
# delay-load import library NAME for DLL's listed functions; link NAME in
# place of the plain import library. BYTES is the 32-bit stdcall argument
# size, as the i686 import symbols carry it; the 64-bit build drops it. A
# function missing here fails the link, so the list cannot fall behind.
function(add_delay_loaded_library name dll)
  set(def "${CMAKE_CURRENT_BINARY_DIR}/${name}.def")
  set(lib "${CMAKE_CURRENT_BINARY_DIR}/lib${name}.a")
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(function IN LISTS ARGN)
    if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "@[0-9]+$" "" function "${function}")
    endif()
    string(APPEND text "${function}\n")
  endforeach()
  file(CONFIGURE OUTPUT "${def}" CONTENT "${text}")
  # --kill-at imports the undecorated names the DLL exports.
  add_custom_command(OUTPUT "${lib}"
    COMMAND ${CMAKE_DLLTOOL} --input-def "${def}" --output-delaylib "${lib}" --kill-at
    DEPENDS "${def}" VERBATIM)
  add_custom_target(${name}_delaylib DEPENDS "${lib}")
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${lib}")
  add_dependencies(${name} ${name}_delaylib)
endfunction()
