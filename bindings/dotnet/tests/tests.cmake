# The .NET binding's tests, run under Mono against the shipped library, the
# codec and the emulator library of this build: the binding's own runner,
# its P/Invoke declarations against the C headers, the C# of the docs, and
# the documented ways of running a program (build tree, installed tree,
# NuGet package).
velkor_find_test_program(VELKOR_MCS mcs)
velkor_find_test_program(VELKOR_MONO mono)
if(NOT VELKOR_MCS OR NOT VELKOR_MONO OR NOT TARGET velkor_dotnet_library)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/runner.cmake)
set(dotnet_runner ${VELKOR_DOTNET_RUNNER})

add_test(NAME dotnet_binding COMMAND ${VELKOR_MONO} --debug ${dotnet_runner})
set_tests_properties(dotnet_binding PROPERTIES LABELS dotnet TIMEOUT 120)

if(Python3_FOUND)
  set(dotnet_scripts ${PROJECT_SOURCE_DIR}/bindings/tests)
  # Every declaration fits its C function as the headers give it on Linux.
  add_test(NAME dotnet_signatures
           COMMAND ${Python3_EXECUTABLE} ${dotnet_scripts}/pinvoke_signatures.py
                   --platform linux --mono ${VELKOR_MONO} --runner ${dotnet_runner})
  # Every C# block of README.md and docs/ compiles against the binding.
  add_test(NAME dotnet_doc_samples
           COMMAND ${Python3_EXECUTABLE} ${dotnet_scripts}/dotnet_docs.py compile
                   --mcs ${VELKOR_MCS} --assembly ${VELKOR_DOTNET_ASSEMBLY}
                   --work ${CMAKE_CURRENT_BINARY_DIR}/dotnet-doc-samples)
  set_tests_properties(dotnet_signatures dotnet_doc_samples PROPERTIES LABELS dotnet TIMEOUT 120)
  # The documented commands of docs/dotnet.md, as a newcomer types them.
  get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
  set(doc_run ${Python3_EXECUTABLE} ${dotnet_scripts}/dotnet_docs.py run
              --build ${PROJECT_BINARY_DIR} --path ${cmake_bin})
  if(TARGET velkor)  # what the program reads is what the tool reads
    list(APPEND doc_run --tool $<TARGET_FILE:velkor>)
  endif()
  add_test(NAME dotnet_build_tree
           COMMAND ${doc_run} --section "From the build tree" --work ${CMAKE_CURRENT_BINARY_DIR}/dotnet-build-tree)
  set_tests_properties(dotnet_build_tree PROPERTIES LABELS dotnet TIMEOUT 120)
  # These install and pack from the build tree, as the other install tests do.
  add_test(NAME dotnet_installed
           COMMAND ${doc_run} --section "From an installed SDK" --work ${CMAKE_CURRENT_BINARY_DIR}/dotnet-installed)
  set_tests_properties(dotnet_installed PROPERTIES LABELS "dotnet;install" TIMEOUT 300
                       RESOURCE_LOCK install_scripts)
  if(TARGET velkor_nuget)
    add_test(NAME dotnet_nuget
             COMMAND ${doc_run} --section "From the NuGet package" --work ${CMAKE_CURRENT_BINARY_DIR}/dotnet-nuget)
    set_tests_properties(dotnet_nuget PROPERTIES LABELS "dotnet;install" TIMEOUT 300
                         RESOURCE_LOCK install_scripts)
  endif()
endif()

# The tool and both bindings print the same words for the same status.
if(TARGET velkor AND Python3_FOUND)
  add_test(NAME same_status_text
           COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/bindings/tests/same_status_text.py)
  set_tests_properties(same_status_text PROPERTIES LABELS "python;dotnet" TIMEOUT 120
    ENVIRONMENT "VELKOR_TOOL=$<TARGET_FILE:velkor>;MONO=${VELKOR_MONO};\
VELKOR_DOTNET_TESTS=${dotnet_runner};\
VELKOR_LIBRARY=$<TARGET_FILE:Velkor>;VELKOR_APP_LIBRARY=$<TARGET_FILE:velkor_app>;\
PYTHONPATH=${PROJECT_SOURCE_DIR}/bindings/python;\
PYTHONDONTWRITEBYTECODE=1")
endif()
