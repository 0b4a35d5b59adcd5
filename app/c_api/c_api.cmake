# libvelkor_app.so (velkor_app.dll): the core's C API (include/velkor_app.h)
# over velkor_app_static, exporting only the C functions.
set(VELKOR_APP_C_API_SOURCES convert.cpp session_api.cpp tag_api.cpp settings_api.cpp
    document_api.cpp watch_api.cpp)
if(WIN32)
  # No commissioning in the Windows build (see app/windows.cmake).
  list(APPEND VELKOR_APP_C_API_SOURCES commission_api_win32.cpp)
else()
  list(APPEND VELKOR_APP_C_API_SOURCES commission_api.cpp)
endif()
list(TRANSFORM VELKOR_APP_C_API_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
add_library(velkor_app SHARED ${VELKOR_APP_C_API_SOURCES})
velkor_compile_in_batches(velkor_app 7)
target_link_libraries(velkor_app PRIVATE velkor_app_static)
target_link_libraries(velkor_app PUBLIC Velkor)
if(WIN32)
  # velkor_app.dll beside Velkor.dll; the header's dllexport marks the C
  # functions, and with them marked nothing else is exported.
  set_target_properties(velkor_app PROPERTIES PREFIX "")
  target_compile_definitions(velkor_app PRIVATE VELKOR_APP_BUILDING)
else()
  target_link_options(velkor_app PRIVATE
                      -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/exports.map)
  set_property(TARGET velkor_app APPEND PROPERTY LINK_DEPENDS
               ${CMAKE_CURRENT_LIST_DIR}/exports.map)
endif()
target_include_directories(velkor_app PUBLIC
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(velkor_app PROPERTIES EXPORT_NAME App
  VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
add_library(Velkor::App ALIAS velkor_app)
install(TARGETS velkor_app EXPORT VelkorTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT app
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT app NAMELINK_COMPONENT dev
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/include/velkor_app.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
