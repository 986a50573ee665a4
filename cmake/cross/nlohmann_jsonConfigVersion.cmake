# The version of the host's nlohmann/json headers that nlohmann_jsonConfig.cmake
# hands to the cross build.
if(EXISTS /usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
  include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake)
else()
  set(PACKAGE_VERSION_COMPATIBLE FALSE)
endif()
