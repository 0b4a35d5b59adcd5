# Sets <out_var> to the lines of a hand-kept list file, stripped, leaving out
# blank lines and comment lines (those starting with #).
function(velkor_read_list_file file out_var)
  file(STRINGS ${file} lines)
  set(kept "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "" AND NOT line MATCHES "^#")
      list(APPEND kept "${line}")
    endif()
  endforeach()
  set(${out_var} "${kept}" PARENT_SCOPE)
endfunction()
