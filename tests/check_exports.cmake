# Compares the dynamic symbols a shared object defines with the expected list.
# -DLIBRARY=path -DEXPECTED=list -DHANDLE_TYPE=int|void*
# The list holds plain C names and demangled C++ signatures in which
# @HANDLE@ stands for the device handle type.
include(${CMAKE_CURRENT_LIST_DIR}/export_list.cmake)

execute_process(COMMAND nm -D --defined-only -C ${LIBRARY}
                OUTPUT_VARIABLE nm_out RESULT_VARIABLE nm_rc)
if(NOT nm_rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" nm_lines "${nm_out}")
set(actual "")
foreach(line IN LISTS nm_lines)
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    list(APPEND actual "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES actual)

velkor_expected_exports(${EXPECTED} "${HANDLE_TYPE}" expected)
velkor_compare_exports("${expected}" "${actual}")
