# nlohmann/json for the cross build. The library is headers only and the same
# for every target, so the host's copy serves; it is reached through a folder
# that holds nothing but a link to it, so that no other host header (the C
# library's above all) can be taken for the target's.
set(_torvane_json_headers /usr/include/nlohmann)
if(NOT EXISTS ${_torvane_json_headers}/json.hpp)
  set(nlohmann_json_FOUND FALSE)
  set(nlohmann_json_NOT_FOUND_MESSAGE "no ${_torvane_json_headers}/json.hpp (nlohmann-json3-dev)")
  return()
endif()
set(_torvane_json_include ${CMAKE_BINARY_DIR}/cross-include)
if(NOT EXISTS ${_torvane_json_include}/nlohmann)
  file(MAKE_DIRECTORY ${_torvane_json_include})
  file(CREATE_LINK ${_torvane_json_headers} ${_torvane_json_include}/nlohmann SYMBOLIC)
endif()
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_torvane_json_include})
endif()
set(nlohmann_json_FOUND TRUE)
