# Writes shoptables.h from db/schema.sql: each table as a namespace of its columns, so that
# code names a column through the schema and a misspelt or removed column fails the build.
# The columns' kinds follow the declared types, as the record sets read them from the file.
set(QM_SCHEMA_FILE ${PROJECT_SOURCE_DIR}/db/schema.sql)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QM_SCHEMA_FILE})
file(STRINGS ${QM_SCHEMA_FILE} qm_schema_lines)

set(qm_body "")
set(qm_all "")
set(qm_table "")
foreach(line IN LISTS qm_schema_lines)
    if(line MATCHES "^CREATE TABLE ([A-Za-z_]+)")
        set(qm_table ${CMAKE_MATCH_1})
        set(qm_position 0)
        set(qm_names "")
        string(APPEND qm_body "namespace ${qm_table} {\ninline constexpr const char *table = \"${qm_table}\";\n")
    elseif(qm_table AND line MATCHES "^[ ]+(\\[[^]]+\\]|[A-Za-z_]+)[ ]+([A-Z]+)(.*)")
        set(name ${CMAKE_MATCH_1})
        set(type ${CMAKE_MATCH_2})
        set(rest ${CMAKE_MATCH_3})
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
        if(type STREQUAL "INTEGER" AND rest MATCHES "PRIMARY KEY")
            set(kind AutoNumber)
        elseif(type STREQUAL "INTEGER")
            set(kind Whole)
        elseif(type STREQUAL "MONEY")
            set(kind Money)
        elseif(type STREQUAL "DATE")
            set(kind Date)
        elseif(type STREQUAL "TIME")
            set(kind Time)
        else()
            set(kind Text)
        endif()
        string(APPEND qm_body "inline constexpr Column ${identifier}{\"${name}\", ${qm_position}, ColumnKind::${kind}};\n")
        list(APPEND qm_names ${identifier})
        math(EXPR qm_position "${qm_position} + 1")
    elseif(qm_table AND line MATCHES "^\\)")
        list(JOIN qm_names ", " qm_list)
        string(APPEND qm_body "inline constexpr Column columns[] = {${qm_list}};\n} // namespace ${qm_table}\n\n")
        string(APPEND qm_all "    {${qm_table}::table, ${qm_table}::columns},\n")
        set(qm_table "")
    endif()
endforeach()

file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/shoptables.h @ONLY CONTENT
"// Generated from db/schema.sql by src/data/core/shoptables.cmake: the shop's tables and columns.
#pragma once

#include \"tabledescription.h\"

namespace tables {

${qm_body}// Every table, in the order db/schema.sql creates them.
inline constexpr TableDescription all[] = {
${qm_all}};

} // namespace tables
")
