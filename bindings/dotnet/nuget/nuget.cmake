# velkor_nuget packs Velkor.Net.<version>.nupkg beside the assembly: the
# native libraries of this build for its own runtime, and those of the cross
# builds of scripts/test-arm64.sh and scripts/test-windows.sh (build-arm64,
# build-windows) when they are built.  Not part of the default build: it
# packs whatever is there when it runs.
if(CMAKE_CROSSCOMPILING)  # the native build packs the cross builds' libraries
  return()
endif()
velkor_find_test_program(VELKOR_NUGET nuget)
if(NOT VELKOR_NUGET)
  return()
endif()
set(VELKOR_NUGET_ARM64_BUILD ${PROJECT_SOURCE_DIR}/build-arm64 CACHE PATH
    "The aarch64 cross build whose libraries the NuGet package takes")
set(VELKOR_NUGET_WINDOWS_BUILD ${PROJECT_SOURCE_DIR}/build-windows CACHE PATH
    "The Windows cross build whose DLLs the NuGet package takes")

set(own "$<TARGET_FILE:Velkor>|$<TARGET_FILE:velkor_epc>|$<TARGET_FILE:velkor_emulator_shared>|$<TARGET_FILE:velkor_app>")
set(arm64 ${VELKOR_NUGET_ARM64_BUILD})
set(win ${VELKOR_NUGET_WINDOWS_BUILD}/bin)
set(by_runtime
  "-DRUNTIME_linux-arm64=${arm64}/libVelkor.so.${PROJECT_VERSION}|${arm64}/epc/libvelkor_epc.so.${PROJECT_VERSION}|${arm64}/emulator/libvelkor_emulator.so|${arm64}/app/libvelkor_app.so.${PROJECT_VERSION}"
  "-DRUNTIME_win-x64=${win}/Velkor.dll|${win}/velkor_epc.dll|${win}/velkor_emulator.dll|${win}/velkor_app.dll")
# Each runtime's libraries are stripped with its toolchain's strip, when found.
find_program(VELKOR_STRIP_ARM64 aarch64-linux-gnu-strip)
find_program(VELKOR_STRIP_WIN64 x86_64-w64-mingw32-strip)
foreach(pair "linux-arm64=${VELKOR_STRIP_ARM64}" "win-x64=${VELKOR_STRIP_WIN64}")
  if(NOT pair MATCHES "-NOTFOUND$")
    list(APPEND by_runtime "-DSTRIP_${pair}")
  endif()
endforeach()
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  list(APPEND by_runtime "-DRUNTIME_linux-x64=${own}" "-DSTRIP_linux-x64=${CMAKE_STRIP}")
elseif(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  list(FILTER by_runtime EXCLUDE REGEX "^-D(RUNTIME|STRIP)_linux-arm64=")
  list(APPEND by_runtime "-DRUNTIME_linux-arm64=${own}" "-DSTRIP_linux-arm64=${CMAKE_STRIP}")
endif()
add_custom_target(velkor_nuget
  COMMAND ${CMAKE_COMMAND} -DNUGET=${VELKOR_NUGET} -DVERSION=${PROJECT_VERSION}
          -DOUT_DIR=${CMAKE_CURRENT_BINARY_DIR} -DASSEMBLY=${VELKOR_DOTNET_ASSEMBLY}
          -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR} ${by_runtime}
          -P ${CMAKE_CURRENT_LIST_DIR}/pack.cmake
  COMMENT "Packing the NuGet package"
  VERBATIM)
add_dependencies(velkor_nuget velkor_dotnet_library Velkor velkor_epc velkor_emulator_shared velkor_app)
