# The release properties of Trunpax.exe: a hardened image, the embedded
# manifest and version resource, a file that is the same bytes whatever folder
# it is built in, and the ZIP package. Included from the Windows block of the
# top-level CMakeLists.txt, after the Trunpax target exists.

# The names the version resource shows under Properties, Details. The version
# itself is project(VERSION) in CMakeLists.txt.
set(TRUNPAX_PRODUCT_NAME "Trunpax")
set(TRUNPAX_FILE_DESCRIPTION "${PROJECT_DESCRIPTION}")
set(TRUNPAX_COMPANY_NAME "The Trunpax developers")
set(TRUNPAX_LEGAL_COPYRIGHT "Copyright (c) 2026 The Trunpax developers. MIT License.")
set(TRUNPAX_INTERNAL_NAME "Trunpax")
set(TRUNPAX_ORIGINAL_FILENAME "Trunpax.exe")
if(PROJECT_VERSION_TWEAK STREQUAL "")
    set(TRUNPAX_VERSION_TWEAK 0)
else()
    set(TRUNPAX_VERSION_TWEAK ${PROJECT_VERSION_TWEAK})
endif()

enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/trunpax_version.h.in
               ${PROJECT_BINARY_DIR}/generated/trunpax_version.h @ONLY)
target_sources(Trunpax PRIVATE ${PROJECT_SOURCE_DIR}/src/platform/trunpax.rc)
# windres finds the generated header and the manifest the .rc names.
target_include_directories(Trunpax PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${PROJECT_BINARY_DIR}/generated;${PROJECT_SOURCE_DIR}/src/platform>)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/platform/trunpax.rc APPEND PROPERTY
             OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/Trunpax.exe.manifest)

# No build folder or source folder in any object: what the compiler would
# record of them (__FILE__, debug information) is made relative.
foreach(target trunpax_core Trunpax)
    target_compile_options(${target} PRIVATE
        "$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=;-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
endforeach()

target_link_options(Trunpax PRIVATE
    # ASLR: the image may be loaded at any base, with its base relocations
    # kept in .reloc so that the loader can move it.
    -Wl,--dynamicbase -Wl,--enable-reloc-section
    # DEP: the image runs with no-execute data pages. (--high-entropy-va is
    # for 64-bit images only.)
    -Wl,--nxcompat
    # Terminal Server aware: no per-session compatibility redirection.
    -Wl,--tsaware
    # A zero PE time stamp, so that the bytes depend only on the sources.
    -Wl,--no-insert-timestamp
    # The release file carries no symbols.
    $<$<CONFIG:Release,MinSizeRel>:-s>)

# The package: Trunpax-<version>-win32.zip in the build folder, holding the
# program, the README, the licence and SHA256SUMS of the other three.
install(TARGETS Trunpax RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "${TRUNPAX_PRODUCT_NAME}")
set(CPACK_PACKAGE_VENDOR "${TRUNPAX_COMPANY_NAME}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Trunpax-${PROJECT_VERSION}-win32")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/package_checksums.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/package_zip_reproducible.cmake")
# The archive's file time, fixed so that the same files give the same zip.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(CPACK_TRUNPAX_PYTHON "${Python3_EXECUTABLE}")
set(CPACK_TRUNPAX_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
set(CPACK_TRUNPAX_ZIP_MTIME "2026-01-01 00:00:00")
include(CPack)
