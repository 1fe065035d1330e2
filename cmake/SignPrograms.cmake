# Run by cpack once the stripped programs are staged, before they are packed:
# signs them when a certificate is given (see scripts/sign-windows.sh).
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
if(programs)
    execute_process(COMMAND "${CPACK_K57_SIGN_SCRIPT}" ${programs} COMMAND_ERROR_IS_FATAL ANY)
endif()
