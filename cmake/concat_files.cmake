# cmake -DFIRST=a -DSECOND=b -DOUT=c -P concat_files.cmake: c holds a's bytes, then b's,
# exactly (file(READ) and file(WRITE) would drop the carriage returns of CR LF text).
execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${FIRST} ${SECOND} OUTPUT_FILE ${OUT}.part
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot join ${FIRST} and ${SECOND}")
endif()
file(RENAME ${OUT}.part ${OUT})
