# libsodium, for the signed update packages (Ed25519, SHA-256): the
# distribution's libsodium-dev on Linux. Gives the target K57::sodium.
#
# For Windows it is the MinGW build that scripts/build-windows.sh unpacks
# into build/windows-sdk/deps-mingw64 (on the windows preset's
# CMAKE_PREFIX_PATH); libsodium-23.dll sits in its bin/ and the packages
# ship it (cmake/Install.cmake).
find_path(K57_SODIUM_INCLUDE_DIR sodium.h REQUIRED)
if(WIN32)
    find_library(K57_SODIUM_LIBRARY NAMES libsodium.dll.a sodium REQUIRED)
else()
    find_library(K57_SODIUM_LIBRARY NAMES sodium libsodium REQUIRED)
endif()
add_library(K57::sodium UNKNOWN IMPORTED)
set_target_properties(K57::sodium PROPERTIES
    IMPORTED_LOCATION "${K57_SODIUM_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${K57_SODIUM_INCLUDE_DIR}")
