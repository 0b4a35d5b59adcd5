# The .NET binding and its tests, built with Mono's compiler and run under
# Mono against the shipped library and the emulator library.
velkor_find_test_program(VELKOR_MCS mcs)
velkor_find_test_program(VELKOR_MONO mono)
if(VELKOR_MCS AND VELKOR_MONO)
  set(dotnet_dir ${PROJECT_SOURCE_DIR}/bindings/dotnet)
  set(dotnet_out ${CMAKE_CURRENT_BINARY_DIR}/dotnet)
  file(GLOB dotnet_library_sources CONFIGURE_DEPENDS ${dotnet_dir}/Velkor/*.cs)
  file(GLOB dotnet_test_sources CONFIGURE_DEPENDS ${dotnet_dir}/tests/*.cs)
  add_custom_command(
    OUTPUT ${dotnet_out}/Velkor.Net.dll ${dotnet_out}/VelkorTests.exe
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dotnet_out}
    COMMAND ${VELKOR_MCS} -nologo -warnaserror -target:library -out:${dotnet_out}/Velkor.Net.dll
            ${dotnet_library_sources}
    COMMAND ${CMAKE_COMMAND} -E copy ${dotnet_dir}/Velkor.Net.dll.config ${dotnet_out}/
    COMMAND ${VELKOR_MCS} -nologo -warnaserror -r:${dotnet_out}/Velkor.Net.dll -r:System.Core
            -out:${dotnet_out}/VelkorTests.exe ${dotnet_test_sources}
    DEPENDS ${dotnet_library_sources} ${dotnet_test_sources} ${dotnet_dir}/Velkor.Net.dll.config
    COMMENT "Building the .NET binding and its tests with mcs"
    VERBATIM)
  add_custom_target(velkor_dotnet ALL DEPENDS ${dotnet_out}/VelkorTests.exe)
  # The dllmap names libVelkor.so.1, libvelkor_epc.so.1 and libvelkor_emulator.so: found through
  # the library path, as an installed system finds them in its own.
  set(dotnet_env "LD_LIBRARY_PATH=$<TARGET_FILE_DIR:Velkor>:$<TARGET_FILE_DIR:velkor_emulator_shared>:$<TARGET_FILE_DIR:velkor_epc>")
  add_test(NAME dotnet_binding COMMAND ${VELKOR_MONO} --debug ${dotnet_out}/VelkorTests.exe)
  set_tests_properties(dotnet_binding PROPERTIES LABELS dotnet TIMEOUT 120 ENVIRONMENT "${dotnet_env}")
endif()

# The tool and both bindings print the same words for the same status.
if(VELKOR_MCS AND VELKOR_MONO AND TARGET velkor AND Python3_FOUND)
  add_test(NAME same_status_text
           COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/bindings/tests/same_status_text.py)
  set_tests_properties(same_status_text PROPERTIES LABELS "python;dotnet" TIMEOUT 120
    ENVIRONMENT "VELKOR_TOOL=$<TARGET_FILE:velkor>;MONO=${VELKOR_MONO};\
VELKOR_DOTNET_TESTS=${dotnet_out}/VelkorTests.exe;${dotnet_env};\
VELKOR_LIBRARY=$<TARGET_FILE:Velkor>;PYTHONPATH=${PROJECT_SOURCE_DIR}/bindings/python;\
PYTHONDONTWRITEBYTECODE=1")
endif()
