# libpq, PostgreSQL's client library, for the workshop's shared journal:
# the distribution's libpq-dev on Linux. Gives the target K57::libpq.
find_path(K57_LIBPQ_INCLUDE_DIR libpq-fe.h PATH_SUFFIXES postgresql REQUIRED)
find_library(K57_LIBPQ_LIBRARY NAMES pq libpq REQUIRED)
add_library(K57::libpq UNKNOWN IMPORTED)
set_target_properties(K57::libpq PROPERTIES
    IMPORTED_LOCATION "${K57_LIBPQ_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${K57_LIBPQ_INCLUDE_DIR}")
