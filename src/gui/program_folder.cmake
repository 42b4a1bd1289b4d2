# Makes a build folder a runnable program folder: the help, the artwork and the genre parameter
# file beside the executable. Copies what exists in resources/; run with
#   cmake -DSOURCE=<resources> -DDEST=<build folder> -P program_folder.cmake
foreach(dir help art)
  if(IS_DIRECTORY "${SOURCE}/${dir}")
    file(GLOB files "${SOURCE}/${dir}/*")
    foreach(f ${files})
      get_filename_component(name "${f}" NAME)
      if(NOT IS_DIRECTORY "${f}" AND NOT name STREQUAL "README.md")
        file(COPY_FILE "${f}" "${DEST}/${dir}/${name}" ONLY_IF_DIFFERENT)
      endif()
    endforeach()
  endif()
endforeach()
if(EXISTS "${SOURCE}/DBPARAMS.INI")
  file(COPY_FILE "${SOURCE}/DBPARAMS.INI" "${DEST}/DBPARAMS.INI" ONLY_IF_DIFFERENT)
endif()
