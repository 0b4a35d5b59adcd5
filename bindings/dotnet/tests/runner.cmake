# The test runner, VelkorTests.exe (VELKOR_DOTNET_RUNNER), compiled with mcs
# beside a copy of the assembly and its config, as a program sits.
set(dotnet_runner_dir ${CMAKE_CURRENT_BINARY_DIR}/dotnet)
set(VELKOR_DOTNET_RUNNER ${dotnet_runner_dir}/VelkorTests.exe)
file(GLOB dotnet_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cs)
set(dotnet_copies ${VELKOR_DOTNET_ASSEMBLY})
if(NOT WIN32)
  list(APPEND dotnet_copies ${VELKOR_DOTNET_ASSEMBLY}.config)
endif()
add_custom_command(
  OUTPUT ${VELKOR_DOTNET_RUNNER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${dotnet_runner_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${dotnet_copies} ${dotnet_runner_dir}
  COMMAND ${VELKOR_MCS} -nologo -warnaserror -r:${VELKOR_DOTNET_ASSEMBLY} -r:System.Core
          -out:${VELKOR_DOTNET_RUNNER} ${dotnet_test_sources}
  DEPENDS ${dotnet_test_sources} ${VELKOR_DOTNET_ASSEMBLY} velkor_dotnet_library
  COMMENT "Building the .NET binding's tests with mcs"
  VERBATIM)
add_custom_target(velkor_dotnet ALL DEPENDS ${VELKOR_DOTNET_RUNNER})
