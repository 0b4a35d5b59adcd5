# The JSON library for a cross build: header-only, so the build machine's
# copy serves every target.  Its headers are copied into the build tree on
# their own, so that no other header of the build machine's include folder
# reaches the cross compiler.
find_package(nlohmann_json CONFIG QUIET)
if(NOT nlohmann_json_FOUND)
  find_path(VELKOR_HOST_NLOHMANN_JSON nlohmann/json.hpp PATHS /usr/include /usr/local/include
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(VELKOR_NLOHMANN_JSON_COPY ${CMAKE_BINARY_DIR}/nlohmann-json)
  file(COPY ${VELKOR_HOST_NLOHMANN_JSON}/nlohmann DESTINATION ${VELKOR_NLOHMANN_JSON_COPY})
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${VELKOR_NLOHMANN_JSON_COPY}
    INTERFACE_INCLUDE_DIRECTORIES ${VELKOR_NLOHMANN_JSON_COPY})
endif()
