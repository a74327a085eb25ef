# Compiles SOURCE once as it stands (it must compile) and once per mistake
# in MISTAKES (each must fail, the compiler's message naming the mistake's
# marker). Run with: cmake -DCOMPILER=... -DFLAGS=... -DSOURCE=... -P this file.
separate_arguments(flags UNIX_COMMAND "${FLAGS}")
execute_process(COMMAND ${COMPILER} ${flags} -fsyntax-only ${SOURCE}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the correct form does not compile:\n${err}")
endif()
foreach(entry ${MISTAKES})
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 macro)
  list(GET parts 1 marker)
  execute_process(COMMAND ${COMPILER} ${flags} -D${macro} -fsyntax-only ${SOURCE}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${macro}: compiled, but must not")
  endif()
  if(NOT err MATCHES "${marker}")
    message(FATAL_ERROR "${macro}: failed for another reason than ${marker}:\n${err}")
  endif()
  message(STATUS "${macro}: refused by the compiler (${marker})")
endforeach()
