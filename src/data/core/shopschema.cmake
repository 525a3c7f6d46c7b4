# Reads the shop's tables from the one place they are written: db/schema.sql, the ten tables
# every shop has, and db/steps, the numbered steps by which a shop gets the tables beside them
# (db/README.md). qm_write_shop_tables() writes shoptables.h: each table as a namespace of its
# columns (a misspelt or removed column fails the build), its auto-number, whether it holds a
# till's scratch rows, its indexes, and the statements that make them in a shop file.
# shopsteps.cmake reads the steps the same way.
# The reader knows these lines and stops at any other, so that nothing is silently left out:
#   CREATE TABLE name (            [-- scratch]
#       name INTEGER|MONEY|DATE|TIME|TIMESTAMP|TEXT [PRIMARY KEY AUTOINCREMENT],
#   );
#   CREATE INDEX name ON table (column, ...);
# and in a step also a column's rules, a table's UNIQUE (...) and CHECK (...), unique and
# partial indexes, GRANT lines and the engines' own parts (db/README.md).

set(qm_kind_INTEGER Whole)
set(qm_kind_MONEY Money)
set(qm_kind_DATE Date)
set(qm_kind_TIME Time)
set(qm_kind_TIMESTAMP Moment)
set(qm_kind_TEXT Text)
set(qm_name "[A-Za-z_][A-Za-z0-9_]*")

macro(qm_schema_fail what)
    message(FATAL_ERROR "${what}, at ${qm_reading}:${qm_line_number}: ${line}")
endmacro()

# The lines of a file as a list that keeps every line whole: CMake would split a line at a
# semicolon and join lines between brackets, so those are written as marks until each line is
# taken from the list (qm_line).
macro(qm_lines file)
    set(qm_reading ${file})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qm_reading})
    file(READ ${qm_reading} qm_text)
    string(REPLACE "\\" "<qm-backslash>" qm_text "${qm_text}")
    string(REPLACE ";" "<qm-semicolon>" qm_text "${qm_text}")
    string(REPLACE "[" "<qm-open>" qm_text "${qm_text}")
    string(REPLACE "]" "<qm-close>" qm_text "${qm_text}")
    string(REPLACE "\r" "" qm_text "${qm_text}")
    string(REGEX REPLACE "\n$" "" qm_text "${qm_text}")
    string(REPLACE "\n" ";" qm_lines "${qm_text}")
    set(qm_line_number 0)
endmacro()

macro(qm_line encoded)
    math(EXPR qm_line_number "${qm_line_number} + 1")
    set(line "${encoded}")
    string(REPLACE "<qm-semicolon>" ";" line "${line}")
    string(REPLACE "<qm-open>" "[" line "${line}")
    string(REPLACE "<qm-close>" "]" line "${line}")
    string(REPLACE "<qm-backslash>" "\\" line "${line}")
endmacro()

# "Paid date" is named PaidDate in code: each word starts with a capital.
macro(qm_identifier name out)
    string(REPLACE " " ";" words "${name}")
    set(${out} "")
    foreach(word IN LISTS words)
        string(SUBSTRING "${word}" 0 1 first)
        string(SUBSTRING "${word}" 1 -1 others)
        string(TOUPPER "${first}" first)
        string(APPEND ${out} "${first}${others}")
    endforeach()
endmacro()

# `scratch` is the " -- scratch" of the table's first line, or empty.
macro(qm_new_table table scratch)
    set(qm_table ${table})
    list(APPEND qm_tables ${qm_table})
    foreach(part ids names kinds auto indexes rules checks uniques)
        set(qm_${qm_table}_${part} "")
    endforeach()
    set(qm_${qm_table}_scratch false)
    if(NOT "${scratch}" STREQUAL "")
        set(qm_${qm_table}_scratch true)
    endif()
endmacro()

# Columns named in a list ("ISBN, [Sold Date]") as the identifiers of `table`, into `out`.
macro(qm_columns_of table list out)
    string(REGEX REPLACE "[ ]*,[ ]*" ";" qm_named "${list}")
    set(${out} "")
    foreach(column IN LISTS qm_named)
        string(REGEX REPLACE "^\\[(.*)\\]$" "\\1" column "${column}")
        list(FIND qm_${table}_names "${column}" at)
        if(at EQUAL -1)
            qm_schema_fail("the table ${table} has no column ${column}")
        endif()
        list(GET qm_${table}_ids ${at} identifier)
        list(APPEND ${out} ${identifier})
    endforeach()
endmacro()

# A column line: its name and kind, and in a step its rules in this order:
#   [PRIMARY KEY [AUTOINCREMENT]] [NOT NULL] [UNIQUE] [DEFAULT number|'text'] [CHECK (condition)]
macro(qm_column_line name type rest step)
    qm_identifier("${name}" identifier)
    set(kind ${qm_kind_${type}})
    set(rules "")
    set(remaining "${rest}")
    if(NOT kind)
        qm_schema_fail("the type ${type} is none of the shop's kinds")
    endif()
    if(type STREQUAL "INTEGER" AND remaining MATCHES "^ PRIMARY KEY AUTOINCREMENT(.*)$")
        set(kind AutoNumber)
        set(remaining "${CMAKE_MATCH_1}")
        list(LENGTH qm_${qm_table}_ids qm_${qm_table}_auto)
        string(APPEND rules ".key = true, ")
    elseif(${step} AND type STREQUAL "TEXT" AND remaining MATCHES "^ PRIMARY KEY(.*)$")
        set(remaining "${CMAKE_MATCH_1}")
        string(APPEND rules ".key = true, ")
    endif()
    if(${step})
        if(remaining MATCHES "^ NOT NULL(.*)$")
            set(remaining "${CMAKE_MATCH_1}")
            string(APPEND rules ".notNull = true, ")
        endif()
        if(remaining MATCHES "^ UNIQUE(.*)$")
            set(remaining "${CMAKE_MATCH_1}")
            string(APPEND rules ".unique = true, ")
        endif()
        if(remaining MATCHES "^ DEFAULT (-?[0-9]+(\\.[0-9]+)?|'[^']*')(.*)$")
            set(remaining "${CMAKE_MATCH_3}")
            string(APPEND rules ".fallback = R\"qm(${CMAKE_MATCH_1})qm\", ")
        endif()
        if(remaining MATCHES "^ CHECK \\((.+)\\)$")
            set(remaining "")
            string(APPEND rules ".check = R\"qm(${CMAKE_MATCH_1})qm\", ")
        endif()
        if(NOT remaining STREQUAL "")
            qm_schema_fail("a column is a name, a type and its rules in their order")
        endif()
    elseif(NOT remaining STREQUAL "")
        qm_schema_fail("a column is a name and a type")
    endif()
    list(APPEND qm_${qm_table}_ids ${identifier})
    list(APPEND qm_${qm_table}_names "${name}")
    list(APPEND qm_${qm_table}_kinds ${kind})
    string(APPEND qm_${qm_table}_rules "    {${rules}},\n")
endmacro()

# The ten tables of db/schema.sql, and the statements a new shop file runs for them.
macro(qm_read_schema file)
    set(qm_tables "")
    set(qm_file_sql "")
    set(qm_table "")
    qm_lines(${file})
    foreach(encoded IN LISTS qm_lines)
        qm_line("${encoded}")
        # A shop file runs the statements as written, without their comments.
        string(REGEX REPLACE "[ ]*--.*$" "" statement "${line}")
        if(NOT statement STREQUAL "")
            string(APPEND qm_file_sql "${statement}\n")
        endif()
        if(line MATCHES "^CREATE TABLE ([A-Za-z_]+) \\(( -- scratch)?$")
            qm_new_table(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
        elseif(qm_table AND line MATCHES "^[ ]+(\\[[^]]+\\]|[A-Za-z_]+)[ ]+([A-Z]+)(.*)$")
            set(name "${CMAKE_MATCH_1}")
            set(type ${CMAKE_MATCH_2})
            string(REGEX REPLACE ",$" "" rest "${CMAKE_MATCH_3}")
            string(REGEX REPLACE "^\\[(.*)\\]$" "\\1" name "${name}")
            qm_column_line("${name}" ${type} "${rest}" false)
        elseif(qm_table AND line STREQUAL ");")
            set(qm_table "")
        elseif(NOT qm_table AND line MATCHES "^CREATE INDEX ([A-Za-z_]+) ON ([A-Za-z_]+) \\((.*)\\);$")
            set(index ${CMAKE_MATCH_1})
            set(table ${CMAKE_MATCH_2})
            qm_columns_of(${table} "${CMAKE_MATCH_3}" qm_index_${index})
            list(APPEND qm_${table}_indexes ${index})
        elseif(NOT line MATCHES "^[ ]*(--.*)?$")
            qm_schema_fail("not a line the schema is read in")
        endif()
    endforeach()
    set(qm_ten ${qm_tables})
endmacro()

# The C++ of a table's columns, inside its namespace: `ns` names the namespace of the table.
macro(qm_table_columns_cpp table out)
    string(APPEND ${out} "namespace ${table} {\ninline constexpr const char *table = \"${table}\";\n")
    set(position 0)
    foreach(identifier IN LISTS qm_${table}_ids)
        list(GET qm_${table}_names ${position} name)
        list(GET qm_${table}_kinds ${position} kind)
        string(APPEND ${out} "inline constexpr Column ${identifier}{\"${name}\", ${position}, ColumnKind::${kind}};\n")
        math(EXPR position "${position} + 1")
    endforeach()
    list(JOIN qm_${table}_ids ", " list)
    string(APPEND ${out} "inline constexpr Column columns[] = {${list}};\n")
    set(auto nullptr)
    if(NOT qm_${table}_auto STREQUAL "")
        set(auto "&${table}::columns[${qm_${table}_auto}]")
    endif()
endmacro()

# Appends "inline constexpr <type> <name>[] = {...};" of the list `entries` to `out` and sets
# `var` to the array's name; or sets `var` to {} when the list is empty.
macro(qm_cpp_array out var type name entries)
    set(${var} "{}")
    if(NOT "${${entries}}" STREQUAL "")
        list(JOIN ${entries} ", " qm_joined)
        string(APPEND ${out} "inline constexpr ${type} ${name}[] = {${qm_joined}};\n")
        set(${var} ${name})
    endif()
endmacro()

# shoptables.h: the ten tables of db/schema.sql.
function(qm_write_shop_tables output)
    qm_read_schema(${PROJECT_SOURCE_DIR}/db/schema.sql)
    set(qm_body "")
    set(qm_all "")
    foreach(table IN LISTS qm_tables)
        qm_table_columns_cpp(${table} qm_body)
        set(entries "")
        foreach(index IN LISTS qm_${table}_indexes)
            qm_cpp_array(qm_body unused Column ${index}Columns qm_index_${index})
            list(APPEND entries "{\"${index}\", ${index}Columns}")
        endforeach()
        qm_cpp_array(qm_body indexes IndexDescription indexes entries)
        if(NOT indexes STREQUAL "{}")
            set(indexes "${table}::indexes")
        endif()
        string(APPEND qm_body "} // namespace ${table}\n\n")
        string(APPEND qm_all "    {${table}::table, ${table}::columns, ${auto}, ${qm_${table}_scratch}, ${indexes}},\n")
    endforeach()
    set(content "// Generated from db/schema.sql by src/data/core/shopschema.cmake: the shop's tables.
#pragma once

#include \"tabledescription.h\"

namespace tables {

${qm_body}// Every table, in the order db/schema.sql creates them.
inline constexpr TableDescription all[] = {
${qm_all}};

// The statements that make the tables and indexes in a new shop file, as db/schema.sql has them.
inline constexpr char fileSchemaSql[] = R\"sql(${qm_file_sql})sql\";

} // namespace tables
")
    file(CONFIGURE OUTPUT ${output} CONTENT "@content@" @ONLY)
endfunction()
