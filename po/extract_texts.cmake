# Extracts the marked texts of src/ into POT; with MERGE, merges POT into every po/*.po; with
# CHECK, fails when a po/*.po lacks the translation of a text of POT.
#   XGETTEXT, MSGMERGE, MSGCMP, SOURCE_DIR, POT, ARGS (xgettext's arguments), MERGE, CHECK
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
list(SORT sources)
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${XGETTEXT} ${args} -o ${POT} ${sources}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "xgettext failed")
endif()
if(MERGE)
  file(GLOB pos ${SOURCE_DIR}/po/*.po)
  foreach(po ${pos})
    execute_process(COMMAND ${MSGMERGE} --quiet --update --backup=none --sort-by-file --add-location=file ${po} ${POT}
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "msgmerge failed on ${po}")
    endif()
  endforeach()
endif()
if(CHECK)
  file(GLOB pos ${SOURCE_DIR}/po/*.po)
  foreach(po ${pos})
    execute_process(COMMAND ${MSGCMP} ${po} ${POT} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${po} lacks translations: mark the texts, run the target update-po and "
                          "translate what it adds")
    endif()
  endforeach()
endif()
