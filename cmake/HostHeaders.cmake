# A header-only library (CLI11, nlohmann-json) from the build machine serves any target. When cross
# compiling, its folder alone is linked into the build tree: the rest of the machine's headers must
# stay out of the target's path. Sets variable to the folder to include.
function(sw_host_headers variable header)
  if(CMAKE_CROSSCOMPILING)
    get_filename_component(folder ${header} DIRECTORY)
    find_path(${variable}_HOST ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host-headers)
    file(CREATE_LINK ${${variable}_HOST}/${folder} ${CMAKE_BINARY_DIR}/host-headers/${folder} SYMBOLIC)
    set(${variable} ${CMAKE_BINARY_DIR}/host-headers PARENT_SCOPE)
  else()
    find_path(${variable} ${header} REQUIRED)
  endif()
endfunction()
