# Helpers of the install and package checks (cmake -P scripts).

# Runs COMMAND (in WORKING_DIRECTORY, if given) and puts its standard output
# in OUTPUT; stops the script with everything the command printed when it
# fails.
function(velkor_run_checked)
  cmake_parse_arguments(arg "" "OUTPUT;WORKING_DIRECTORY" "COMMAND" ${ARGN})
  if(NOT arg_WORKING_DIRECTORY)
    set(arg_WORKING_DIRECTORY .)
  endif()
  execute_process(COMMAND ${arg_COMMAND} WORKING_DIRECTORY ${arg_WORKING_DIRECTORY}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(JOIN arg_COMMAND " " shown)
    message(FATAL_ERROR "failed (${rc}): ${shown}\n${out}${err}")
  endif()
  set(${arg_OUTPUT} "${out}" PARENT_SCOPE)
endfunction()

# Stops the script unless text matches the regular expression.
function(velkor_expect_output text regex what)
  if(NOT text MATCHES "${regex}")
    message(FATAL_ERROR "${what}: expected a match for '${regex}', got:\n${text}")
  endif()
endfunction()

# Stops the script unless text contains part literally.
function(velkor_expect_part text part what)
  string(FIND "${text}" "${part}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: expected '${part}' in:\n${text}")
  endif()
endfunction()
