# libvelkor_app.so: the core's C API (include/velkor_app.h) over
# velkor_app_static, exporting only the C functions.
add_library(velkor_app SHARED
  ${CMAKE_CURRENT_LIST_DIR}/convert.cpp ${CMAKE_CURRENT_LIST_DIR}/session_api.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tag_api.cpp ${CMAKE_CURRENT_LIST_DIR}/settings_api.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document_api.cpp ${CMAKE_CURRENT_LIST_DIR}/watch_api.cpp
  ${CMAKE_CURRENT_LIST_DIR}/commission_api.cpp)
velkor_compile_in_batches(velkor_app 7)
target_link_libraries(velkor_app PRIVATE velkor_app_static)
target_link_libraries(velkor_app PUBLIC Velkor)
target_link_options(velkor_app PRIVATE
                    -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/exports.map)
set_property(TARGET velkor_app APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/exports.map)
target_include_directories(velkor_app PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(velkor_app PROPERTIES EXPORT_NAME App
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
add_library(Velkor::App ALIAS velkor_app)
install(TARGETS velkor_app EXPORT VelkorTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT app NAMELINK_COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/include/velkor_app.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
