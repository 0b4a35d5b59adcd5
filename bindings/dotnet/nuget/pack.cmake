# Packs Velkor.Net.<VERSION>.nupkg into OUT_DIR with Debian's nuget (Mono):
# the assembly with its XML documentation under lib/netstandard2.0, and each
# runtime's native libraries under runtimes/<runtime>/native, named as a
# DllImport looks for them (libVelkor.so, Velkor.dll).  A runtime whose
# libraries are not all four built (the reader library, the codec, the
# emulator and the application core) is left out, unless the
# environment's VELKOR_NUGET_RUNTIMES names it: then the pack fails.
#   cmake -DNUGET=nuget -DVERSION=x.y.z -DOUT_DIR=... -DASSEMBLY=Velkor.Net.dll
#         -DSOURCE_DIR=bindings/dotnet/nuget
#         "-DRUNTIME_linux-x64=libVelkor.so.1|libvelkor_epc.so.1|libvelkor_emulator.so|libvelkor_app.so.1" ...
#         [-DSTRIP_linux-x64=strip ...] -P pack.cmake
cmake_minimum_required(VERSION 3.24)

set(runtimes linux-x64 linux-arm64 win-x64)
set(all_dll_names Velkor velkor_epc velkor_emulator velkor_app)  # the DllImport names, in RUNTIME_* order
set(stage ${OUT_DIR}/nuget-stage)
file(REMOVE_RECURSE ${stage})
get_filename_component(assembly_dir ${ASSEMBLY} DIRECTORY)
file(COPY ${ASSEMBLY} ${assembly_dir}/Velkor.Net.xml DESTINATION ${stage}/lib/netstandard2.0)

set(packed "")
set(mono_map "")
foreach(runtime IN LISTS runtimes)
  string(REPLACE "|" ";" files "${RUNTIME_${runtime}}")
  set(complete TRUE)
  foreach(file IN LISTS files)
    if(NOT EXISTS "${file}")
      set(complete FALSE)
    endif()
  endforeach()
  list(LENGTH files count)
  set(dll_names ${all_dll_names})
  list(LENGTH dll_names wanted)
  if(NOT complete OR NOT count EQUAL wanted)
    message(STATUS "NuGet package: no ${runtime} libraries built")
    continue()
  endif()
  set(native ${stage}/runtimes/${runtime}/native)
  file(MAKE_DIRECTORY ${native})
  foreach(dll file IN ZIP_LISTS dll_names files)
    if(runtime MATCHES "^win")
      set(name ${dll}.dll)
    else()
      set(name lib${dll}.so)
      # Mono reads no runtimes folder: the assembly's map points into it.
      if(runtime STREQUAL "linux-x64")
        set(cpu x86-64)
      else()
        set(cpu armv8)
      endif()
      string(APPEND mono_map "  <dllmap dll=\"${dll}\" target=\"../../runtimes/${runtime}/native/${name}\" os=\"linux\" cpu=\"${cpu}\"/>\n")
    endif()
    file(COPY_FILE ${file} ${native}/${name})
    # The package carries no debug information, as the Debian packages.
    if(STRIP_${runtime})
      execute_process(COMMAND ${STRIP_${runtime}} --strip-unneeded ${native}/${name}
                      RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR "${STRIP_${runtime}} failed on ${native}/${name}")
      endif()
    endif()
  endforeach()
  list(APPEND packed ${runtime})
endforeach()

separate_arguments(required UNIX_COMMAND "$ENV{VELKOR_NUGET_RUNTIMES}")
foreach(runtime IN LISTS required)
  if(NOT runtime IN_LIST packed)
    message(FATAL_ERROR "NuGet package: the ${runtime} libraries are not built")
  endif()
endforeach()
if(NOT packed)
  message(FATAL_ERROR "NuGet package: no native libraries at all")
endif()

file(WRITE ${stage}/lib/netstandard2.0/Velkor.Net.dll.config "<configuration>\n${mono_map}</configuration>\n")
string(REPLACE ";" ", " RUNTIMES "${packed}")
configure_file(${SOURCE_DIR}/Velkor.Net.manifest.xml.in ${stage}/Velkor.Net.nuspec @ONLY)
file(REMOVE ${OUT_DIR}/Velkor.Net.${VERSION}.nupkg)
# nuget keeps its settings under HOME: the stage's, not the user's.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env HOME=${stage}/home
          ${NUGET} pack ${stage}/Velkor.Net.nuspec -BasePath ${stage} -OutputDirectory ${OUT_DIR}
          -NoPackageAnalysis -NonInteractive
  RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed OR NOT EXISTS ${OUT_DIR}/Velkor.Net.${VERSION}.nupkg)
  message(FATAL_ERROR "nuget pack failed:\n${output}")
endif()
message(STATUS "NuGet package: ${OUT_DIR}/Velkor.Net.${VERSION}.nupkg (${RUNTIMES})")
