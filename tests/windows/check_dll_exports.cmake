# Compares the export table of Velkor.dll with the expected list plus the
# MSVC-decorated aliases, and checks that each alias names the function it
# stands for.
#   -DLIBRARY=Velkor.dll -DEXPECTED=exports.txt -DALIASES=msvc_aliases.txt
#   -DOBJDUMP=objdump -DCXXFILT=c++filt
#   -DUNDECORATE=undecorate.exe [-DEMULATOR=wine]
# The handle type of the expected list's C++ signatures is void* here.
cmake_minimum_required(VERSION 3.24)  # script mode: today's policies
include(${CMAKE_CURRENT_LIST_DIR}/../export_list.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/msvc_aliases.cmake)

# Sets <out_var> to what the command (the remaining arguments) prints,
# stripped and without carriage returns; a command that fails ends the check.
function(command_output out_var)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(GET ARGN 0 program)
    message(FATAL_ERROR "${program} failed (${rc})")
  endif()
  string(STRIP "${text}" text)
  string(REPLACE "\r" "" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# Export names and their addresses, from objdump's reading of the table.  The
# name table gives each name's slot in the address table.
command_output(dump ${OBJDUMP} -p ${LIBRARY})
# Square brackets have a meaning in CMake lists; the table lines are full
# of them.
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")
string(REPLACE "\n" ";" lines "${dump}")
set(names "")
set(slots "")
set(in_names FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^\t< *([0-9]+)> \\+base< *[0-9]+> ([0-9a-fA-F]+) Export RVA")
    set(rva_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  elseif(line MATCHES "^<Ordinal/Name Pointer> Table")
    set(in_names TRUE)
  elseif(in_names AND line MATCHES "^\t< *([0-9]+)> (.+)$")
    list(APPEND names "${CMAKE_MATCH_2}")
    list(APPEND slots ${CMAKE_MATCH_1})
  elseif(in_names)
    set(in_names FALSE)
  endif()
endforeach()
if(NOT names)
  message(FATAL_ERROR "no export table in ${LIBRARY}")
endif()

# Demangled as the expected list writes them; MSVC names pass unchanged.
command_output(demangled_text ${CXXFILT} ${names})
string(REPLACE "\n" ";" demangled "${demangled_text}")
set(actual ${demangled})
list(REMOVE_DUPLICATES actual)

velkor_expected_exports(${EXPECTED} "void*" shared)
velkor_read_msvc_aliases(${ALIASES} aliases targets)
velkor_compare_exports("${shared};${aliases}" "${actual}")

# A signature with the spelling differences of the two undecorators removed.
function(normalized text out_var)
  string(REGEX REPLACE "(class|struct|enum) " "" text "${text}")
  string(REPLACE " " "" text "${text}")
  string(REPLACE "(void)" "()" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

set(shared_signatures "")
foreach(entry IN LISTS shared)
  normalized("${entry}" entry)
  list(APPEND shared_signatures "${entry}")
endforeach()

# Each alias, read by the system's undecorator, is the signature of one
# entry of the expected list; where it stands for an exported function, it
# is that function's signature and address.
command_output(undecorated_text ${EMULATOR} ${UNDECORATE} ${aliases})
string(REPLACE "\n" ";" undecorated "${undecorated_text}")
set(faults "")
foreach(alias target text IN ZIP_LISTS aliases targets undecorated)
  # "<return type> <name>(<parameters>)": the name and the parameters.
  if(NOT text MATCHES "([^ ]+)(\\(.*\\))")
    string(APPEND faults "\n  ${alias}: undecorates as '${text}'")
    continue()
  endif()
  normalized("${CMAKE_MATCH_1}${CMAKE_MATCH_2}" signature)
  if(NOT signature IN_LIST shared_signatures)
    string(APPEND faults "\n  ${alias}: '${text}' is no C++ export of the list")
  endif()
  list(FIND names "${target}" target_index)
  if(target_index EQUAL -1)
    continue()  # a dedicated entry point, not exported under its own name
  endif()
  list(GET demangled ${target_index} target_text)
  normalized("${target_text}" target_signature)
  if(NOT target_signature STREQUAL signature)
    string(APPEND faults "\n  ${alias}: '${text}' stands for '${target_text}'")
  endif()
  list(FIND names "${alias}" alias_index)
  list(GET slots ${alias_index} alias_slot)
  list(GET slots ${target_index} target_slot)
  set(alias_rva "${rva_${alias_slot}}")
  if(alias_rva STREQUAL "" OR NOT alias_rva STREQUAL "${rva_${target_slot}}")
    string(APPEND faults "\n  ${alias}: not at the address of ${target}")
  endif()
endforeach()
if(faults)
  message(FATAL_ERROR "MSVC aliases:${faults}")
endif()
list(LENGTH aliases n)
message(STATUS "${n} MSVC aliases name their functions")
