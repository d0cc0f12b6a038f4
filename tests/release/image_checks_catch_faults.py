"""Proves that check_release_image.py catches each fault it is there for.

Each row of the table breaks one property in a copy of the good file, in
memory, the way a wrong build setting would, and names the check that must
then fail. The good file itself must pass every check first, so that a row
cannot pass for a reason other than its own fault.
"""

import struct
import sys

import check_release_image
import pe_image


def set_u16(data, at, value):
    struct.pack_into("<H", data, at, value)


def set_u32(data, at, value):
    struct.pack_into("<I", data, at, value)


def clear_dll_characteristic(bit):
    def mutate(data, image, arguments):
        at = image.dll_characteristics_offset
        set_u16(data, at, struct.unpack_from("<H", data, at)[0] & ~bit)
    return mutate


def set_relocs_stripped(data, image, arguments):
    set_u16(data, image.characteristics_offset,
            image.characteristics | pe_image.IMAGE_FILE_RELOCS_STRIPPED)


def drop_relocation_directory(data, image, arguments):
    set_u32(data, image.directory_entry_offset(pe_image.DIRECTORY_BASERELOC) + 4, 0)


def make_code_writable(data, image, arguments):
    code = next(s for s in image.sections if s.characteristics & pe_image.IMAGE_SCN_MEM_EXECUTE)
    set_u32(data, code.characteristics_offset, code.characteristics | pe_image.IMAGE_SCN_MEM_WRITE)


def grow_past_limit(data, image, arguments):
    data.extend(b"\0" * (arguments.max_size + 1 - len(data)))


def replace_bytes(old, new, occurrence=0):
    assert len(old) == len(new)

    def mutate(data, image, arguments):
        at = -1
        for _ in range(occurrence + 1):
            at = data.find(old, at + 1)
            assert at >= 0, f"{old!r} is not in the file"
        data[at : at + len(old)] = new
    return mutate


def import_wow64_function(data, image, arguments):
    # Writes the name over the first KERNEL32 import's name; the names after
    # it are overwritten too, which does not matter here.
    kernel32 = next(i for i in image.imports() if i.dll.lower() == "kernel32.dll")
    first_thunk = struct.unpack_from("<I", data, kernel32.descriptor_offset)[0]
    name_rva = struct.unpack_from("<I", data, image.offset(first_thunk))[0]
    at = image.offset(name_rva) + 2
    name = b"Wow64DisableWow64FsRedirection\0"
    data[at : at + len(name)] = name


def set_file_time_stamp(data, image, arguments):
    set_u32(data, image.time_date_stamp_offset, 0x6A000000)


def set_resource_time_stamp(data, image, arguments):
    set_u32(data, image.resource_directories()[0], 0x6A000000)


def set_symbol_count(data, image, arguments):
    set_u32(data, image.time_date_stamp_offset + 8, 12)


def append_build_path(data, image, arguments):
    data.extend(arguments.forbid_path[0].encode())


def resource_of_type(image, type_id):
    return next(r for r in image.resources() if r.type_id == type_id)


def retype_manifest(data, image, arguments):
    # The manifest's entry in the root directory of the resource tree.
    manifest = resource_of_type(image, pe_image.RT_MANIFEST)
    set_u32(data, manifest.entry_offsets[0], 23)


def resource_replace(resource_type, old, new):
    assert len(old) == len(new)

    def mutate(data, image, arguments):
        resource = resource_of_type(image, resource_type)
        at = data.index(old, resource.data_offset, resource.data_offset + len(resource.data))
        data[at : at + len(old)] = new
    return mutate


def manifest_replace(old, new):
    return resource_replace(pe_image.RT_MANIFEST, old, new)


def version_string_replace(old, new):
    return resource_replace(pe_image.RT_VERSION, old.encode("utf-16-le"), new.encode("utf-16-le"))


def bump_binary_file_version(data, image, arguments):
    version = resource_of_type(image, pe_image.RT_VERSION)
    at = data.index(struct.pack("<I", 0xFEEF04BD), version.data_offset)
    set_u32(data, at + 12, struct.unpack_from("<I", data, at + 12)[0] + 1)


FLAGS = check_release_image.REQUIRED_DLL_CHARACTERISTICS
VISTA = "{e2011457-1546-43c5-a5fe-008deee3d3f0}".encode()

# (fault, how to make it, the check that must fail)
FAULTS = [
    ("file over the size limit", grow_past_limit, "size"),
    ("msvcrt.dll replaced by another DLL",
     replace_bytes(b"msvcrt.dll\0", b"ucrtbas.dl\0"), "import_dlls"),
    ("FreeLibrary not imported", replace_bytes(b"FreeLibrary\0", b"FreeLibrarX\0"),
     "required_imports"),
    ("a WOW64 redirection function imported", import_wow64_function, "forbidden_imports"),
] + [
    (f"{flag} clear", clear_dll_characteristic(bit), f"dll_characteristics_{flag}")
    for flag, bit in FLAGS.items()
] + [
    ("relocations stripped flag set", set_relocs_stripped, "relocations"),
    ("no base relocation directory", drop_relocation_directory, "relocations"),
    ("code section writable", make_code_writable, "no_writable_executable_section"),
    ("PE time stamp set", set_file_time_stamp, "no_time_stamps"),
    ("resource directory time stamp set", set_resource_time_stamp, "no_time_stamps"),
    ("COFF symbols left in", set_symbol_count, "no_symbols"),
    ("build folder in the file", append_build_path, "no_build_paths"),
    ("no RT_MANIFEST resource", retype_manifest, "manifest"),
    ("uiAccess true", manifest_replace(b'uiAccess="false"', b'uiAccess="true" '), "manifest"),
    ("execution level not asInvoker",
     manifest_replace(b'level="asInvoker"', b'level="asAdmin__"'), "manifest"),
    ("Vista missing from supportedOS",
     manifest_replace(VISTA, VISTA.replace(b"e2011457", b"e2011458")), "manifest"),
    ("activeCodePage in the manifest",
     manifest_replace(b"<!-- Windows Vista -->", b"<activeCodePage/>     "), "manifest"),
    ("FileVersion string not the project version",
     version_string_replace("FileVersion", "FileVersioN"), "version_resource"),
    ("OriginalFilename wrong", version_string_replace("Trunpax.exe", "Trunpax.exX"),
     "version_resource"),
    ("binary file version not the project version", bump_binary_file_version,
     "version_resource"),
]


def failing(data, arguments):
    return {name for name, holds, _ in check_release_image.run_checks(bytes(data), arguments)
            if not holds}


def main():
    arguments = check_release_image.parse_arguments()
    with open(arguments.exe, "rb") as file:
        good = file.read()
    baseline = failing(good, arguments)
    if baseline:
        print(f"FAIL the good file already fails {sorted(baseline)}")
        return 1
    missed = 0
    for fault, mutate, check in FAULTS:
        data = bytearray(good)
        mutate(data, pe_image.PeImage(good), arguments)
        found = failing(data, arguments)
        caught = check in found
        missed += not caught
        print(f"{'ok  ' if caught else 'FAIL'} {fault}: failing checks {sorted(found)}")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
