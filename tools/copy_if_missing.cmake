# cmake -DSOURCE=... -DDESTINATION=... -P copy_if_missing.cmake
# Copies a default file into place unless the user already has one there.
if(NOT EXISTS "${DESTINATION}")
    file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
