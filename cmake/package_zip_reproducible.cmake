# CPack post-build script: runs after the ZIP generator has written the
# archive and before it is copied to the build folder. The generator stores
# each file's owner and its modification, access and change times, so every
# rebuild gives a different zip. The archive is written again from the same
# staged files, in name order, with one fixed time and no owner, so that the
# same files always give the same bytes.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(REMOVE "${package}")
    execute_process(
        COMMAND "${CPACK_TRUNPAX_PYTHON}" "${CPACK_TRUNPAX_SOURCE_DIR}/cmake/write_reproducible_zip.py"
                "${package}" "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TRUNPAX_ZIP_MTIME}"
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Could not write ${package} again: ${result}")
    endif()
endforeach()
