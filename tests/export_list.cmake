# The expected export list (exports.txt) and the comparison that both export
# checks, the shared object's and the DLL's, make against it.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/list_file.cmake)

# Sets <out_var> to the entries of list_file: plain C names and demangled C++
# signatures, with @HANDLE@ standing for the device handle type.
function(velkor_expected_exports list_file handle_type out_var)
  velkor_read_list_file(${list_file} lines)
  set(expected "")
  foreach(line IN LISTS lines)
    string(REPLACE "@HANDLE@" "${handle_type}" line "${line}")
    list(APPEND expected "${line}")
  endforeach()
  set(${out_var} "${expected}" PARENT_SCOPE)
endfunction()

# Fails, naming what is missing and what is unexpected, unless the two lists
# hold the same names.
function(velkor_compare_exports expected actual)
  set(missing ${expected})
  list(REMOVE_ITEM missing ${actual})
  set(extra ${actual})
  list(REMOVE_ITEM extra ${expected})
  if(missing OR extra)
    string(REPLACE ";" "\n  " missing_text "${missing}")
    string(REPLACE ";" "\n  " extra_text "${extra}")
    message(FATAL_ERROR
            "export mismatch\nmissing:\n  ${missing_text}\nunexpected:\n  ${extra_text}")
  endif()
  list(LENGTH expected n)
  message(STATUS "${n} exports as expected")
endfunction()
