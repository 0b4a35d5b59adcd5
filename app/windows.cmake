# velkor_app.dll: the core over a handle a program opened with Velkor.dll (or
# velkor_emulator.dll's named pipe) and adopted: inventory and the records,
# the information and settings, the one-tag rule and every tag operation, the
# watch, the event documents.  Left out, because they stand on POSIX files
# and sockets: opening a reader (discovery with its device lock, emulated
# sessions over a socket pair, the state file), commissioning (its journal)
# and MQTT; their entry points say "not available in the Windows build".
include(${PROJECT_SOURCE_DIR}/cmake/nlohmann_json_headers.cmake)

set(VELKOR_APP_SOURCES epc_json.cpp
    reader/channel_plan.cpp reader/reader_config.cpp reader/reader_info.cpp reader/settings.cpp
    reader/session.cpp reader/session_open_win32.cpp
    events/presence_events.cpp events/read_event.cpp events/reader_documents.cpp
    events/watch_events.cpp events/watch_event_feed.cpp)
file(GLOB VELKOR_APP_ALL_OF CONFIGURE_DEPENDS base/*.cpp tags/*.cpp watch/*.cpp)
add_library(velkor_app_static STATIC ${VELKOR_APP_SOURCES} ${VELKOR_APP_ALL_OF})
velkor_compile_in_batches(velkor_app_static 16)
target_include_directories(velkor_app_static PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(velkor_app_static PUBLIC nlohmann_json::nlohmann_json Velkor velkor_epc)
# mingw-w64's time.h gives the reentrant gmtime_r and localtime_r the time
# texts use (over gmtime_s and localtime_s) when asked for them.
target_compile_definitions(velkor_app_static PRIVATE _POSIX_THREAD_SAFE_FUNCTIONS)

include(c_api/c_api.cmake)
