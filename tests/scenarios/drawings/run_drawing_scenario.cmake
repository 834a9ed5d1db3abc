# Runs one drawing scenario on a fresh folder of its own:
#   cmake -DCLI=veltrano-cli -DMAKE_PDF=make_drawing_pdf -DSCRIPT=x.vts
#         -DWORK=dir -P run_drawing_scenario.cmake
# The base folder WORK/Veltrano holds the drawings the scripts attach; when
# x.plans lies beside the script, `veltrano-cli plans` on the project named
# in its first line ("# Data/NAME.xdt") must print the rest of it.
foreach(var CLI MAKE_PDF SCRIPT WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_drawing_scenario.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/home" "${WORK}/Veltrano")
set(ENV{HOME} "${WORK}/home")
unset(ENV{VELTRANO_BASE})
foreach(drawing "図面.pdf;2;420;297" "大判.pdf;1;10000;10000")
  list(GET drawing 0 name)
  list(SUBLIST drawing 1 3 size)
  execute_process(COMMAND "${MAKE_PDF}" "${WORK}/Veltrano/${name}" ${size}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not make ${name}")
  endif()
endforeach()
execute_process(COMMAND "${CLI}" --base "${WORK}/Veltrano" run "${SCRIPT}"
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scenario failed (exit status ${status})")
endif()
string(REGEX REPLACE "\\.vts$" ".plans" expected_file "${SCRIPT}")
if(EXISTS "${expected_file}")
  file(STRINGS "${expected_file}" expected_lines ENCODING UTF-8)
  list(POP_FRONT expected_lines header)
  string(REGEX REPLACE "^# " "" project "${header}")
  execute_process(COMMAND "${CLI}" --base "${WORK}/Veltrano" plans "${WORK}/Veltrano/${project}"
                  OUTPUT_VARIABLE printed RESULT_VARIABLE status)
  string(REPLACE "\n" ";" printed_lines "${printed}")
  list(FILTER printed_lines EXCLUDE REGEX "^$")
  if(NOT status EQUAL 0 OR NOT printed_lines STREQUAL expected_lines)
    string(REPLACE ";" "\n" shown "${printed_lines}")
    string(REPLACE ";" "\n" wanted "${expected_lines}")
    message(FATAL_ERROR "veltrano-cli plans printed (status ${status}):\n${shown}\n"
                        "expected:\n${wanted}")
  endif()
endif()
