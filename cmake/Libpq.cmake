# libpq, PostgreSQL's client library, for the workshop's shared journal:
# the distribution's libpq-dev on Linux. Gives the target K57::libpq.
#
# For Windows it is the MinGW build that scripts/build-windows.sh unpacks
# into build/windows-sdk/deps-mingw64 (on the windows preset's
# CMAKE_PREFIX_PATH): its import library keeps the name libpq.a, and
# libpq.dll sits in bin/ beside OpenSSL's and libsodium's DLLs, which the
# packages ship (K57_DEPS_BIN_DIR, cmake/Install.cmake).
find_path(K57_LIBPQ_INCLUDE_DIR libpq-fe.h PATH_SUFFIXES postgresql REQUIRED)
if(WIN32)
    find_library(K57_LIBPQ_LIBRARY NAMES libpq.a libpq.dll.a pq REQUIRED)
    get_filename_component(K57_DEPS_BIN_DIR "${K57_LIBPQ_LIBRARY}/../../bin" ABSOLUTE)
    if(NOT EXISTS "${K57_DEPS_BIN_DIR}/libpq.dll")
        message(FATAL_ERROR "libpq.dll is not in ${K57_DEPS_BIN_DIR}, beside ${K57_LIBPQ_LIBRARY}")
    endif()
    add_library(K57::libpq SHARED IMPORTED)
    set_target_properties(K57::libpq PROPERTIES
        IMPORTED_IMPLIB "${K57_LIBPQ_LIBRARY}"
        IMPORTED_LOCATION "${K57_DEPS_BIN_DIR}/libpq.dll"
        INTERFACE_INCLUDE_DIRECTORIES "${K57_LIBPQ_INCLUDE_DIR}")
else()
    find_library(K57_LIBPQ_LIBRARY NAMES pq libpq REQUIRED)
    add_library(K57::libpq UNKNOWN IMPORTED)
    set_target_properties(K57::libpq PROPERTIES
        IMPORTED_LOCATION "${K57_LIBPQ_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${K57_LIBPQ_INCLUDE_DIR}")
endif()
