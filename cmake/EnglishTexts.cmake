# The string tables of data/strings as C++ initializers, compiled into the
# programs, so that every text is written once, in the tables. Remade when a
# table changes.

# vantry_read_string_table(TABLE PREFIX): sets PREFIX_IDS to the ids of the
# table, in order, and PREFIX_<id> to each text as a C++ string literal.
function(vantry_read_string_table table prefix)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(READ ${table} content)
  # CMake lists split on ';' and pair brackets: keep both out of the way.
  string(REPLACE ";" "<semicolon>" content "${content}")
  string(REPLACE "[" "<open>" content "${content}")
  string(REPLACE "]" "<close>" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(ids "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9]+)\t(.*)$")
      set(text "${CMAKE_MATCH_2}")
      string(REPLACE "\"" "\\\"" text "${text}")
      string(REPLACE "<semicolon>" ";" text "${text}")
      string(REPLACE "<open>" "[" text "${text}")
      string(REPLACE "<close>" "]" text "${text}")
      list(APPEND ids ${CMAKE_MATCH_1})
      set(${prefix}_${CMAKE_MATCH_1} "\"${text}\"" PARENT_SCOPE)
    endif()
  endforeach()
  set(${prefix}_IDS "${ids}" PARENT_SCOPE)
endfunction()

function(vantry_write_generated header content)
  file(WRITE ${header}.new "${content}")
  configure_file(${header}.new ${header} COPYONLY)
endfunction()

# vantry_english_texts(TABLE HEADER): the English table as {id, "text"},
# rows, the fallback of every language.
function(vantry_english_texts table header)
  vantry_read_string_table(${table} english)
  get_filename_component(name ${table} NAME)
  set(out "// Made from ${name} at configuration; edit the table, not this file.\n")
  foreach(id IN LISTS english_IDS)
    string(APPEND out "{${id}, ${english_${id}}},\n")
  endforeach()
  vantry_write_generated(${header} "${out}")
endfunction()

# vantry_language_rows(FOLDER COUNT HEADER): one row {"code", "text 1", ...,
# "text COUNT"}, per language of FOLDER, in the language menu's order; a
# table that lacks a text stops the configuration.
function(vantry_language_rows folder count header)
  file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${folder})
  set(out "// Made from the tables of ${shown} at configuration; edit them, not this file.\n")
  foreach(code en fr es de it no sv da nl)
    vantry_read_string_table(${folder}/${code}.txt row)
    string(APPEND out "{\"${code}\"")
    foreach(id RANGE 1 ${count})
      if(NOT DEFINED row_${id})
        message(FATAL_ERROR "${folder}/${code}.txt: no text ${id}")
      endif()
      string(APPEND out ", ${row_${id}}")
      unset(row_${id})
    endforeach()
    string(APPEND out "},\n")
  endforeach()
  vantry_write_generated(${header} "${out}")
endfunction()
