# Reads the shop's tables and steps with one text in a file of db/ replaced, as the build
# reads them:
#   cmake -DSOURCE=<tree> -DFILE=<file in db/> -DFROM=<text> -DTO=<text> -DWORK=<folder>
#         -P schemacase.cmake
# A text that is not in the file reads it unchanged.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK}/db)
file(COPY ${SOURCE}/db DESTINATION ${WORK})
if(NOT FILE)
    set(FILE schema.sql)
endif()
file(READ ${WORK}/db/${FILE} text)
if(FROM)
    string(FIND "${text}" "${FROM}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "schemacase: \"${FROM}\" is not in db/${FILE}")
    endif()
    string(REPLACE "${FROM}" "${TO}" text "${text}")
endif()
file(WRITE ${WORK}/db/${FILE} "${text}")
set(PROJECT_SOURCE_DIR ${WORK})
set(PROJECT_VERSION ${VERSION})
include(${SOURCE}/src/data/core/shopsteps.cmake)
qm_read_schema(${WORK}/db/schema.sql)
message(STATUS "schemacase: read ${qm_tables}")
qm_write_shop_steps(${WORK}/shopsteps.h tables steps ${WORK}/db/steps)
file(READ ${WORK}/shopsteps.h steps)
string(REGEX MATCHALL "namespace [a-z]+ {" made "${steps}")
message(STATUS "schemacase: steps made ${made}")
