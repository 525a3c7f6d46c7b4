# Reads db/schema.sql with one text in it replaced, as the build reads the schema:
#   cmake -DSOURCE=<tree> -DFROM=<text> -DTO=<text> -DWORK=<folder> -P schemacase.cmake
# A text that is not in the schema reads the schema unchanged.
cmake_minimum_required(VERSION 3.25)
file(READ ${SOURCE}/db/schema.sql schema)
if(FROM)
    string(FIND "${schema}" "${FROM}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "schemacase: \"${FROM}\" is not in db/schema.sql")
    endif()
    string(REPLACE "${FROM}" "${TO}" schema "${schema}")
endif()
file(WRITE ${WORK}/db/schema.sql "${schema}")
set(PROJECT_SOURCE_DIR ${WORK})
set(CMAKE_CURRENT_BINARY_DIR ${WORK})
include(${SOURCE}/src/data/core/shopschema.cmake)
message(STATUS "schemacase: read ${qm_tables}")
