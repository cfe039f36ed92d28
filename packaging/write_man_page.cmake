# Writes one compressed manual page, run by the build (packaging.cmake):
#   -DGENERATOR=varnex-man-page -DOUT=page.1.gz and either
#   -DCLI=varnex-cli -DLANGUAGE=xx -DSOURCE="Varnex 1.3" -DDATE=yyyy-mm-dd  (from --help)
#   -DPAGE=packaging/varnex.xx.1                                            (written by hand)
# The page itself is left beside the .gz for the tests to render.
string(REGEX REPLACE "\\.gz$" "" page "${OUT}")
get_filename_component(folder "${page}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
if(DEFINED CLI)
  execute_process(
    COMMAND "${CLI}" --lang "${LANGUAGE}" --help
    COMMAND "${GENERATOR}" help varnex-cli "${LANGUAGE}" "${SOURCE}" "${DATE}" "varnex(1)"
    OUTPUT_FILE "${page}" RESULTS_VARIABLE results)
else()
  execute_process(COMMAND "${GENERATOR}" escape INPUT_FILE "${PAGE}" OUTPUT_FILE "${page}"
                  RESULTS_VARIABLE results)
endif()
foreach(result IN LISTS results)
  if(NOT result EQUAL 0)
    file(REMOVE "${page}")
    message(FATAL_ERROR "writing ${page} failed: ${results}")
  endif()
endforeach()
# -n: no name nor time in the header, so that the same page compresses to the same bytes.
execute_process(COMMAND gzip -9 -n -c "${page}" OUTPUT_FILE "${OUT}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip of ${page} failed")
endif()
