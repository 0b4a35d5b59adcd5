# Reads cmake/msvc_aliases.txt (the MSVC-decorated aliases of the C++
# exports) for the module-definition file and for the export check.
include(${CMAKE_CURRENT_LIST_DIR}/list_file.cmake)

# Sets <names_var> and <targets_var> to the aliases and the symbols they
# stand for, in file order.
function(velkor_read_msvc_aliases file names_var targets_var)
  velkor_read_list_file(${file} lines)
  set(names "")
  set(targets "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([^ \t]+)[ \t]+([^ \t]+)$")
      message(FATAL_ERROR "${file}: not an alias line: ${line}")
    endif()
    list(APPEND names "${CMAKE_MATCH_1}")
    list(APPEND targets "${CMAKE_MATCH_2}")
  endforeach()
  set(${names_var} "${names}" PARENT_SCOPE)
  set(${targets_var} "${targets}" PARENT_SCOPE)
endfunction()

# Writes a module-definition file exporting every alias; the library's own
# dllexport names are exported besides.
function(velkor_write_msvc_def aliases_file def_file)
  velkor_read_msvc_aliases(${aliases_file} names targets)
  set(text "EXPORTS\n")
  foreach(name target IN ZIP_LISTS names targets)
    string(APPEND text "  \"${name}\" = ${target}\n")
  endforeach()
  # Rewritten only when it changes, so an unchanged list relinks nothing.
  set(old "")
  if(EXISTS ${def_file})
    file(READ ${def_file} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${def_file} "${text}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${aliases_file})
endfunction()
