# Runs at install time, after the files: the links DIR/bin/klango and DIR/bin/klango-cli into
# the program folder, the launcher with the installed program's full path, and the update marker
# "KLANGO.upd" when the program folder already holds databases (the next start brings them to
# the current structure). Set by the install step before: KLANGO_LINKED_PROGRAMS, KLANGO_DESKTOP_FILE.
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(program_dir "${prefix}/lib/klango")

file(MAKE_DIRECTORY "${prefix}/bin")
foreach(program ${KLANGO_LINKED_PROGRAMS})
  message(STATUS "Installing: ${prefix}/bin/${program} -> ../lib/klango/${program}")
  file(REMOVE "${prefix}/bin/${program}")
  file(CREATE_LINK "../lib/klango/${program}" "${prefix}/bin/${program}" SYMBOLIC)
endforeach()

if(KLANGO_DESKTOP_FILE)
  file(READ "${KLANGO_DESKTOP_FILE}" desktop)
  # The launcher starts the program by its full path: a per-user bin folder is often not in the
  # PATH of the desktop session. TryExec takes the path as a plain string value; Exec takes it as
  # one quoted argument: in double quotes, with '"', '`', '$' and '\' escaped by a '\', and '%'
  # doubled (no field code). The string escapes of the file's values come on top of both: each '\'
  # is written twice, a line break, tab or carriage return as \n, \t, \r.
  set(program "${CMAKE_INSTALL_PREFIX}/bin/klango")
  set(argument "${program}")
  string(REPLACE "\\" "\\\\" argument "${argument}")
  foreach(reserved "\"" "`" "$")
    string(REPLACE "${reserved}" "\\${reserved}" argument "${argument}")
  endforeach()
  string(REPLACE "%" "%%" argument "${argument}")
  set(argument "\"${argument}\"")
  foreach(value argument program)
    string(REPLACE "\\" "\\\\" ${value} "${${value}}")
    string(REPLACE "\n" "\\n" ${value} "${${value}}")
    string(REPLACE "\t" "\\t" ${value} "${${value}}")
    string(REPLACE "\r" "\\r" ${value} "${${value}}")
  endforeach()
  string(REPLACE "\nExec=klango\n" "\nExec=${argument}\n" desktop "${desktop}")
  string(REPLACE "\nTryExec=klango\n" "\nTryExec=${program}\n" desktop "${desktop}")
  message(STATUS "Installing: ${prefix}/share/applications/klango.desktop")
  file(WRITE "${prefix}/share/applications/klango.desktop" "${desktop}")
endif()

# Databases from an earlier version: the data folder and the tables are found whatever their case.
file(GLOB entries "${program_dir}/*")
set(has_databases FALSE)
foreach(entry ${entries})
  get_filename_component(name "${entry}" NAME)
  string(TOLOWER "${name}" lower)
  if(IS_DIRECTORY "${entry}" AND lower STREQUAL "daten")
    file(GLOB tables "${entry}/*")
    foreach(table ${tables})
      string(TOLOWER "${table}" lower_table)
      if(lower_table MATCHES "\\.dbf$" AND NOT IS_DIRECTORY "${table}")
        set(has_databases TRUE)
      endif()
    endforeach()
  endif()
endforeach()
if(has_databases)
  message(STATUS "Installing: ${program_dir}/KLANGO.upd (the databases are updated at the next start)")
  file(WRITE "${program_dir}/KLANGO.upd" "")
endif()
