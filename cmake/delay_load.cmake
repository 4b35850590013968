# Import libraries that load their DLL at the first call rather than at process
# start: start-up up to the tray icon calls none of these DLLs, and loading and
# initialising them (the common controls above all) held the icon back.
# Functions not listed here still link through the ordinary import library.
#   nimvara_delay_load(<target> <dll> <function>...)
# 64-bit only: 32-bit imports carry stdcall decorations that the list lacks.
function(nimvara_delay_load target dll)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/delay_load)
  list(JOIN ARGN "\n" exports)
  file(CONFIGURE OUTPUT ${dir}/${dll}.def CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
  add_custom_command(OUTPUT ${dir}/lib${dll}_delay.a
    COMMAND ${CMAKE_DLLTOOL} -d ${dir}/${dll}.def -y ${dir}/lib${dll}_delay.a -D ${dll}.dll
    DEPENDS ${dir}/${dll}.def VERBATIM)
  add_custom_target(${dll}_delay_load DEPENDS ${dir}/lib${dll}_delay.a)
  add_dependencies(${target} ${dll}_delay_load)
  # Ahead of the ordinary import libraries, which the target lists after.
  target_link_libraries(${target} PUBLIC ${dir}/lib${dll}_delay.a)
endfunction()
