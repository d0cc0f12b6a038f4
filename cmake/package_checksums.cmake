# CPack pre-build script: runs after the files are staged and before they are
# archived. Writes SHA256SUMS beside them, one line per staged file in the
# format `sha256sum -c` reads: the hash, two spaces, the file name.
file(GLOB staged RELATIVE "${CPACK_TEMPORARY_DIRECTORY}" "${CPACK_TEMPORARY_DIRECTORY}/*")
list(REMOVE_ITEM staged SHA256SUMS)
list(SORT staged)
set(sums "")
foreach(name IN LISTS staged)
    file(SHA256 "${CPACK_TEMPORARY_DIRECTORY}/${name}" hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${CPACK_TEMPORARY_DIRECTORY}/SHA256SUMS" "${sums}")
