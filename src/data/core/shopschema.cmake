# Reads the shop's tables from db/schema.sql, the one place they are written, into
# shoptables.h: each table as a namespace of its columns (a misspelt or removed column fails the
# build), its auto-number, whether it holds a till's scratch rows, its indexes, and the
# statements that make them in a shop file. The server renders the same description its own way
# (postgres/pgschema.cpp). The reader knows these lines and stops at any other, so that nothing
# of the schema is silently left out:
#   CREATE TABLE name (            [-- scratch]
#       name INTEGER|MONEY|DATE|TIME|TEXT [PRIMARY KEY AUTOINCREMENT],
#   );
#   CREATE INDEX name ON table (column, ...);
# A later version of the shop adds its tables and indexes in a file of its own, read by
# qm_read_schema after this one.

set(qm_tables "")
set(qm_file_sql "")
set(qm_kind_INTEGER Whole)
set(qm_kind_MONEY Money)
set(qm_kind_DATE Date)
set(qm_kind_TIME Time)
set(qm_kind_TEXT Text)

macro(qm_schema_fail what)
    message(FATAL_ERROR "${what}, at ${qm_reading}:${qm_line_number}: ${line}")
endmacro()

macro(qm_read_schema file)
    set(qm_reading ${file})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${qm_reading})
    file(STRINGS ${qm_reading} qm_lines)
    set(qm_table "")
    set(qm_line_number 0)
    foreach(line IN LISTS qm_lines)
        math(EXPR qm_line_number "${qm_line_number} + 1")
        # A shop file runs the statements as written, without their comments.
        string(REGEX REPLACE "[ ]*--.*$" "" statement "${line}")
        if(NOT statement STREQUAL "")
            string(APPEND qm_file_sql "${statement}\n")
        endif()
        if(line MATCHES "^CREATE TABLE ([A-Za-z_]+) \\(( -- scratch)?$")
            set(qm_table ${CMAKE_MATCH_1})
            list(APPEND qm_tables ${qm_table})
            foreach(part ids names kinds auto indexes)
                set(qm_${qm_table}_${part} "")
            endforeach()
            set(qm_${qm_table}_scratch false)
            if(CMAKE_MATCH_2)
                set(qm_${qm_table}_scratch true)
            endif()
        elseif(qm_table AND line MATCHES "^[ ]+(\\[[^]]+\\]|[A-Za-z_]+)[ ]+([A-Z]+)(.*)$")
            set(name "${CMAKE_MATCH_1}")
            set(type ${CMAKE_MATCH_2})
            string(REGEX REPLACE ",$" "" rest "${CMAKE_MATCH_3}")
            string(REGEX REPLACE "^\\[(.*)\\]$" "\\1" name "${name}")
            # "Paid date" is named PaidDate in code: each word starts with a capital.
            string(REPLACE " " ";" words "${name}")
            set(identifier "")
            foreach(word IN LISTS words)
                string(SUBSTRING "${word}" 0 1 first)
                string(SUBSTRING "${word}" 1 -1 others)
                string(TOUPPER "${first}" first)
                string(APPEND identifier "${first}${others}")
            endforeach()
            set(kind ${qm_kind_${type}})
            if(NOT kind)
                qm_schema_fail("the type ${type} is none of the shop's kinds")
            elseif(type STREQUAL "INTEGER" AND rest STREQUAL " PRIMARY KEY AUTOINCREMENT")
                set(kind AutoNumber)
                list(LENGTH qm_${qm_table}_ids qm_${qm_table}_auto)
            elseif(NOT rest STREQUAL "")
                qm_schema_fail("a column is a name and a type")
            endif()
            list(APPEND qm_${qm_table}_ids ${identifier})
            list(APPEND qm_${qm_table}_names "${name}")
            list(APPEND qm_${qm_table}_kinds ${kind})
        elseif(qm_table AND line STREQUAL ");")
            set(qm_table "")
        elseif(NOT qm_table AND line MATCHES "^CREATE INDEX ([A-Za-z_]+) ON ([A-Za-z_]+) \\((.*)\\);$")
            set(index ${CMAKE_MATCH_1})
            set(table ${CMAKE_MATCH_2})
            string(REGEX REPLACE "[ ]*,[ ]*" ";" columns "${CMAKE_MATCH_3}")
            set(qm_index_${index} "")
            foreach(column IN LISTS columns)
                string(REGEX REPLACE "^\\[(.*)\\]$" "\\1" column "${column}")
                list(FIND qm_${table}_names "${column}" at)
                if(at EQUAL -1)
                    qm_schema_fail("the table ${table} has no column ${column}")
                endif()
                list(GET qm_${table}_ids ${at} identifier)
                list(APPEND qm_index_${index} ${identifier})
            endforeach()
            list(APPEND qm_${table}_indexes ${index})
        elseif(NOT line MATCHES "^[ ]*(--.*)?$")
            qm_schema_fail("not a line the schema is read in")
        endif()
    endforeach()
endmacro()

qm_read_schema(${PROJECT_SOURCE_DIR}/db/schema.sql)

set(qm_body "")
set(qm_all "")
foreach(table IN LISTS qm_tables)
    string(APPEND qm_body "namespace ${table} {\ninline constexpr const char *table = \"${table}\";\n")
    set(position 0)
    foreach(identifier IN LISTS qm_${table}_ids)
        list(GET qm_${table}_names ${position} name)
        list(GET qm_${table}_kinds ${position} kind)
        string(APPEND qm_body "inline constexpr Column ${identifier}{\"${name}\", ${position}, ColumnKind::${kind}};\n")
        math(EXPR position "${position} + 1")
    endforeach()
    list(JOIN qm_${table}_ids ", " list)
    string(APPEND qm_body "inline constexpr Column columns[] = {${list}};\n")
    set(indexes "{}")
    if(qm_${table}_indexes)
        set(entries "")
        foreach(index IN LISTS qm_${table}_indexes)
            list(JOIN qm_index_${index} ", " list)
            string(APPEND qm_body "inline constexpr Column ${index}Columns[] = {${list}};\n")
            list(APPEND entries "{\"${index}\", ${index}Columns}")
        endforeach()
        list(JOIN entries ", " list)
        string(APPEND qm_body "inline constexpr IndexDescription indexes[] = {${list}};\n")
        set(indexes "${table}::indexes")
    endif()
    set(auto nullptr)
    if(NOT qm_${table}_auto STREQUAL "")
        set(auto "&${table}::columns[${qm_${table}_auto}]")
    endif()
    string(APPEND qm_body "} // namespace ${table}\n\n")
    string(APPEND qm_all "    {${table}::table, ${table}::columns, ${auto}, ${qm_${table}_scratch}, ${indexes}},\n")
endforeach()

file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/shoptables.h @ONLY CONTENT
"// Generated from db/schema.sql by src/data/core/shopschema.cmake: the shop's tables.
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
