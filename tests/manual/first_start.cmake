# A first start of the installed program on a new base folder puts the
# operation manual into its Manual folder; a later start leaves the manual
# found there alone, and one the user removed comes back.
#   cmake -DBUILD=<build dir> -DWORK=<scratch dir> -P first_start.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/run)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/prefix
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "install failed")
endif()
set(shipped "${WORK}/prefix/share/veltrano/Manual/操作マニュアル.pdf")
if(NOT EXISTS "${shipped}")
  message(FATAL_ERROR "the install step put no manual at ${shipped}")
endif()

# Marked, so that a copy of the manual the build made (which the program
# falls back on) is told apart from the installed one.
file(APPEND "${shipped}" "\n% installed\n")

function(start)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            VELTRANO_STARTUP_TIMING=quit VELTRANO_BASE=${WORK}/base
            XDG_RUNTIME_DIR=${WORK}/run HOME=${WORK}/home
            ${WORK}/prefix/bin/veltrano
    RESULT_VARIABLE status ERROR_VARIABLE err TIMEOUT 120)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "veltrano ended with ${status}: ${err}")
  endif()
endfunction()

set(copy "${WORK}/base/Manual/操作マニュアル.pdf")
start()
if(NOT EXISTS "${copy}")
  message(FATAL_ERROR "no manual in the new base folder's Manual folder")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${shipped}" "${copy}"
  RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the manual in Manual differs from the installed one")
endif()

file(WRITE "${copy}" "the user's own")
start()
file(READ "${copy}" kept)
if(NOT kept STREQUAL "the user's own")
  message(FATAL_ERROR "a manual already in Manual was replaced")
endif()

file(REMOVE "${copy}")
start()
if(NOT EXISTS "${copy}")
  message(FATAL_ERROR "a removed manual was not put back")
endif()
