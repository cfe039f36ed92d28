# Runs varnex-cli as a user would, in a fresh work folder, and checks what it says and writes.
#   CLI           path of varnex-cli
#   EMULATOR      what runs it, when it is built for another system (optional)
#   WORK          work folder (emptied first); the command runs there
#   COPY          files copied into WORK before the run
#   ARGS          the arguments, separated by "|"
#   EXIT          expected exit status
#   STDOUT_REGEX, STDERR_REGEX  expected to match (optional)
#   COMPARE       "produced=expected" pairs separated by "|": files compared byte for byte
#   FILES         the exact sorted list of files WORK must hold afterwards, separated by "|"
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(COPY)
  string(REPLACE "|" ";" copies "${COPY}")
  file(COPY ${copies} DESTINATION "${WORK}")
endif()
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${EMULATOR} "${CLI}" ${args} WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("stdout:\n${out}\nstderr:\n${err}")
if(NOT status STREQUAL "${EXIT}")
  message(FATAL_ERROR "exit status ${status}, expected ${EXIT}")
endif()
if(DEFINED STDOUT_REGEX AND NOT out MATCHES "${STDOUT_REGEX}")
  message(FATAL_ERROR "standard output does not match: ${STDOUT_REGEX}")
endif()
if(DEFINED STDERR_REGEX AND NOT err MATCHES "${STDERR_REGEX}")
  message(FATAL_ERROR "standard error does not match: ${STDERR_REGEX}")
endif()
if(COMPARE)
  string(REPLACE "|" ";" pairs "${COMPARE}")
  foreach(pair ${pairs})
    string(REPLACE "=" ";" sides "${pair}")
    list(GET sides 0 produced)
    list(GET sides 1 expected)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${produced}" "${expected}"
                    RESULT_VARIABLE differs)
    if(differs)
      message(FATAL_ERROR "${produced} differs from ${expected}")
    endif()
  endforeach()
endif()
if(DEFINED FILES)
  file(GLOB present RELATIVE "${WORK}" "${WORK}/*")
  list(SORT present)
  set(wanted "")
  if(NOT FILES STREQUAL "NONE")
    string(REPLACE "|" ";" wanted "${FILES}")
  endif()
  list(SORT wanted)
  if(NOT present STREQUAL wanted)
    message(FATAL_ERROR "work folder holds [${present}], expected [${wanted}]")
  endif()
endif()
