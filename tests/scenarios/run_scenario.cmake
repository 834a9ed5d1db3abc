# Runs one scenario script on a fresh folder of its own:
#   cmake -DCLI=veltrano-cli -DSCRIPT=script.vts -DWORK=dir -P run_scenario.cmake
# The base folder is WORK/Veltrano (backups go to its info folder) and the
# home folder WORK/home, so that a scenario never touches the user's own files.
foreach(var CLI SCRIPT WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_scenario.cmake needs -D${var}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/home")
set(ENV{HOME} "${WORK}/home")
unset(ENV{VELTRANO_BASE})
execute_process(
  COMMAND "${CLI}" --base "${WORK}/Veltrano" run "${SCRIPT}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "scenario failed (exit status ${status})")
endif()
