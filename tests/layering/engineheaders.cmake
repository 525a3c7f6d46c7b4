# Fails when a source under ROOT includes <sqlite3.h> or <libpq-fe.h> outside its engine's
# folder. The benchmarks' raw baselines may; so, until they go through the server's wrapper,
# may the tools and the tests' server set-up for libpq.
#   cmake -DROOT=<source tree> -P engineheaders.cmake
if(NOT ROOT)
    message(FATAL_ERROR "engineheaders.cmake: ROOT is not set")
endif()

set(allowed_sqlite3.h src/data/database/sqlite/)
set(allowed_libpq-fe.h src/data/database/postgres/ tools/ tests/support/testserver.cpp
    tests/tools/serverdatabase.h)

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/tools/*.h
     ${ROOT}/tools/*.cpp ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp)
set(misplaced "")
foreach(source IN LISTS sources)
    file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*<(sqlite3|libpq-fe)\\.h>")
    foreach(line IN LISTS includes)
        string(REGEX MATCH "(sqlite3|libpq-fe)\\.h" header "${line}")
        set(inside FALSE)
        foreach(place IN LISTS allowed_${header})
            string(FIND "${source}" "${place}" at)
            if(at EQUAL 0)
                set(inside TRUE)
            endif()
        endforeach()
        if(NOT inside)
            list(APPEND misplaced "${source}: <${header}>")
        endif()
    endforeach()
endforeach()

list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "engineheaders.cmake: no sources under ${ROOT}")
endif()
if(misplaced)
    list(JOIN misplaced "\n  " text)
    message(FATAL_ERROR "An engine's header outside its folder:\n  ${text}")
endif()
message(STATUS "${count} sources: the engines' headers only in their folders")
