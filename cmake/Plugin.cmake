# zt_add_plugin(<name> <sources...>): builds a plugin library <name>.dll for
# the program's plugins\ folder. The library must export an undecorated
# "Launch" without parameters; plugins/ZentropPlugin.h says how.
function(zt_add_plugin name)
  add_library(${name} SHARED ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/plugins)
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    OUTPUT_NAME ${name}
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins)
  # MinGW decorates stdcall exports (Launch@0); --kill-at keeps the name as
  # written. The static runtime keeps the library free of MinGW DLLs.
  if(MINGW)
    target_link_options(${name} PRIVATE -static -s -Wl,--kill-at -Wl,--gc-sections)
  endif()
endfunction()
