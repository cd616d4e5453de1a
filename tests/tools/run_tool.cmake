# Runs a tool with an argument list and checks its exit code and output,
# without a shell. Variables: TOOL, ARGS (arguments separated by |), EXPECT_RC, and optional
# STDIN (a file), EXPECT_OUT and EXPECT_ERR (regular expressions), OUT_FILE
# (where standard output is kept), COPY_FROM and COPY_TO (a file copied first),
# TRUNCATE_TO (keep only that many bytes of the copy), PATCH_AT and PATCH_TEXT
# (overwrite bytes of the copy at a decimal offset).
if(DEFINED COPY_FROM)
  if(DEFINED TRUNCATE_TO)
    execute_process(COMMAND head -c ${TRUNCATE_TO} ${COPY_FROM} OUTPUT_FILE ${COPY_TO})
  else()
    file(COPY_FILE ${COPY_FROM} ${COPY_TO})
  endif()
  file(CHMOD ${COPY_TO} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    WORLD_READ)
endif()
if(DEFINED PATCH_AT)
  file(WRITE ${COPY_TO}.patch "${PATCH_TEXT}")
  execute_process(COMMAND dd of=${COPY_TO} bs=1 seek=${PATCH_AT} conv=notrunc status=none
    INPUT_FILE ${COPY_TO}.patch RESULT_VARIABLE patched)
  if(NOT patched EQUAL 0)
    message(FATAL_ERROR "cannot patch ${COPY_TO}")
  endif()
endif()
set(input_args)
if(DEFINED STDIN)
  set(input_args INPUT_FILE ${STDIN})
endif()
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${TOOL} ${arguments} ${input_args}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(DEFINED OUT_FILE)
  file(WRITE ${OUT_FILE} "${out}")
endif()
if(NOT "${rc}" STREQUAL "${EXPECT_RC}")
  message(FATAL_ERROR "exit code ${rc}, expected ${EXPECT_RC}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(DEFINED EXPECT_OUT AND NOT out MATCHES "${EXPECT_OUT}")
  message(FATAL_ERROR "stdout does not match '${EXPECT_OUT}':\n${out}")
endif()
if(DEFINED EXPECT_ERR AND NOT err MATCHES "${EXPECT_ERR}")
  message(FATAL_ERROR "stderr does not match '${EXPECT_ERR}':\n${err}")
endif()
