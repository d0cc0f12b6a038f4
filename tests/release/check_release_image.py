"""Checks the release properties of Trunpax.exe and prints what it measured.

Each check gives a name, whether it holds and what was found; the program
exits 1 when any check fails. image_checks_catch_faults.py runs the same
checks on deliberately broken copies of the file.
"""

import argparse
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pe_image

# The DllCharacteristics flags the image must carry.
REQUIRED_DLL_CHARACTERISTICS = {
    "DYNAMIC_BASE": 0x0040,
    "NX_COMPAT": 0x0100,
    "TERMINAL_SERVER_AWARE": 0x8000,
}

EXPECTED_DLLS = {"kernel32.dll", "msvcrt.dll"}
REQUIRED_KERNEL32_IMPORTS = ["LoadLibraryA", "GetProcAddress", "FreeLibrary"]
# Looked up by name at run time, so that the program starts where they are
# missing: an import would stop the loader first.
FORBIDDEN_IMPORTS = ["Wow64DisableWow64FsRedirection", "Wow64RevertWow64FsRedirection"]

# The supportedOS ids of Windows Vista, 7, 8, 8.1 and 10/11.
SUPPORTED_OS_IDS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}

# Manifest elements that would change how the program runs.
FORBIDDEN_MANIFEST_ELEMENTS = ["activeCodePage"]


def parse_arguments(argv=None):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--max-size", type=int, required=True)
    parser.add_argument("--version", required=True, help="project(VERSION), e.g. 1.0.0")
    parser.add_argument("--forbid-path", action="append", default=[],
                        help="a folder name that must not occur in the file")
    for field in ["CompanyName", "FileDescription", "InternalName", "LegalCopyright",
                  "OriginalFilename", "ProductName"]:
        parser.add_argument(f"--{field}", required=True)
    return parser.parse_args(argv)


def expected_strings(arguments):
    strings = {field: getattr(arguments, field) for field in
               ["CompanyName", "FileDescription", "InternalName", "LegalCopyright",
                "OriginalFilename", "ProductName"]}
    strings["FileVersion"] = arguments.version
    strings["ProductVersion"] = arguments.version
    return strings


def version_numbers(version):
    parts = [int(part) for part in version.split(".")]
    parts += [0] * (4 - len(parts))
    return parts[:4]


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


def check_manifest(resources):
    manifests = [r for r in resources if r.type_id == pe_image.RT_MANIFEST]
    if [r.name_id for r in manifests] != [1]:
        return False, f"RT_MANIFEST ids {[r.name_id for r in manifests]}, want exactly [1]"
    try:
        root = ElementTree.fromstring(manifests[0].data)
    except ElementTree.ParseError as error:
        return False, f"manifest is not XML: {error}"
    elements = list(root.iter())
    levels = [e.attrib for e in elements if local_name(e.tag) == "requestedExecutionLevel"]
    if levels != [{"level": "asInvoker", "uiAccess": "false"}]:
        return False, f"requestedExecutionLevel {levels}"
    os_ids = {e.attrib.get("Id", "").lower() for e in elements
              if local_name(e.tag) == "supportedOS"}
    if os_ids != SUPPORTED_OS_IDS:
        return False, (f"supportedOS missing {sorted(SUPPORTED_OS_IDS - os_ids)}, "
                       f"unexpected {sorted(os_ids - SUPPORTED_OS_IDS)}")
    forbidden = sorted({local_name(e.tag) for e in elements} & set(FORBIDDEN_MANIFEST_ELEMENTS))
    if forbidden:
        return False, f"manifest has {forbidden}"
    return True, "asInvoker, uiAccess false, supportedOS Vista to 10/11"


def check_version(resources, arguments):
    versions = [r for r in resources if r.type_id == pe_image.RT_VERSION]
    if [r.name_id for r in versions] != [1]:
        return False, f"RT_VERSION ids {[r.name_id for r in versions]}, want exactly [1]"
    root, _ = pe_image.parse_version_node(versions[0].data)
    if root.key != "VS_VERSION_INFO" or len(root.value) < 52:
        return False, f"no fixed file info under {root.key!r}"
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from(
        "<IIIIII", root.value)
    if signature != 0xFEEF04BD:
        return False, f"fixed file info signature {signature:#x}"
    numbers = version_numbers(arguments.version)
    want = [(numbers[0] << 16) | numbers[1], (numbers[2] << 16) | numbers[3]]
    if [file_ms, file_ls] != want or [product_ms, product_ls] != want:
        return False, (f"binary versions file {file_ms:#x}.{file_ls:#x} product "
                       f"{product_ms:#x}.{product_ls:#x}, want {want[0]:#x}.{want[1]:#x}")
    string_info = root.find("StringFileInfo")
    if string_info is None or len(string_info.children) != 1:
        return False, "want one string table under StringFileInfo"
    found = {child.key: child.value for child in string_info.children[0].children}
    wrong = {key: (found.get(key), value) for key, value in expected_strings(arguments).items()
             if found.get(key) != value}
    if wrong:
        return False, "found/wanted: " + "; ".join(f"{k} {v[0]!r}/{v[1]!r}" for k, v in
                                                    sorted(wrong.items()))
    translation = root.find("VarFileInfo")
    translation = translation.find("Translation") if translation else None
    if translation is None or translation.value != struct.pack("<HH", 0x409, 1200):
        return False, "VarFileInfo Translation is not U.S. English, Unicode"
    return True, ", ".join(f"{k}={v!r}" for k, v in sorted(found.items()))


def run_checks(data, arguments):
    """Every check as (name, holds, detail)."""
    results = []

    def record(name, holds, detail):
        results.append((name, bool(holds), detail))

    record("size", len(data) <= arguments.max_size,
           f"{len(data)} bytes ({len(data) / 1024:.1f} KiB), limit {arguments.max_size}")
    try:
        image = pe_image.PeImage(data)
    except (pe_image.ImageError, struct.error) as error:
        record("pe_headers", False, str(error))
        return results
    record("machine", image.machine == 0x14C, f"machine {image.machine:#x}, PE32")

    imports = image.imports()
    dlls = sorted(i.dll for i in imports)
    record("import_dlls", {d.lower() for d in dlls} == EXPECTED_DLLS and len(dlls) == 2,
           f"imports from {dlls}")
    kernel32 = [n for i in imports if i.dll.lower() == "kernel32.dll" for n in i.names]
    missing = [n for n in REQUIRED_KERNEL32_IMPORTS if n not in kernel32]
    record("required_imports", not missing,
           f"missing {missing}" if missing else f"KERNEL32.dll has {REQUIRED_KERNEL32_IMPORTS}")
    everything = [n for i in imports for n in i.names]
    present = [n for n in FORBIDDEN_IMPORTS if n in everything]
    record("forbidden_imports", not present,
           f"imported {present}" if present else f"none of {FORBIDDEN_IMPORTS}")

    for flag, bit in REQUIRED_DLL_CHARACTERISTICS.items():
        record(f"dll_characteristics_{flag}", image.dll_characteristics & bit,
               f"DllCharacteristics {image.dll_characteristics:#06x}")

    relocations = image.relocation_count()
    stripped = image.characteristics & pe_image.IMAGE_FILE_RELOCS_STRIPPED
    record("relocations", relocations > 0 and not stripped,
           f"{relocations} base relocations, RELOCS_STRIPPED {'set' if stripped else 'clear'}")

    both = [s.name for s in image.sections if s.characteristics & pe_image.IMAGE_SCN_MEM_WRITE
            and s.characteristics & pe_image.IMAGE_SCN_MEM_EXECUTE]
    record("no_writable_executable_section", not both,
           f"writable and executable: {both}" if both else
           "sections " + " ".join(s.name for s in image.sections))

    stamps = {"file header": image.time_date_stamp}
    stamps.update({f"import {i.dll}": i.time_date_stamp for i in imports})
    stamps.update({f"debug entry {n}": s for n, s in enumerate(image.debug_time_stamps())})
    stamps.update({f"resource directory at {at:#x}": struct.unpack_from("<I", data, at)[0]
                   for at in image.resource_directories()})
    set_stamps = {k: v for k, v in stamps.items() if v != 0}
    record("no_time_stamps", not set_stamps,
           f"set: {set_stamps}" if set_stamps else f"{len(stamps)} time stamps, all zero")
    record("no_symbols", image.symbol_table_offset == 0 and image.symbol_count == 0,
           f"{image.symbol_count} COFF symbols")
    found_paths = [p for p in arguments.forbid_path
                   if p.encode() in data or p.encode("utf-16-le") in data]
    record("no_build_paths", not found_paths,
           f"contains {found_paths}" if found_paths else f"none of {arguments.forbid_path}")

    try:
        resources = image.resources()
        record("manifest", *check_manifest(resources))
        record("version_resource", *check_version(resources, arguments))
    except (pe_image.ImageError, struct.error, UnicodeDecodeError) as error:
        record("resources", False, f"unreadable: {error}")
    return results


def main():
    arguments = parse_arguments()
    with open(arguments.exe, "rb") as file:
        data = file.read()
    failed = 0
    for name, holds, detail in run_checks(data, arguments):
        print(f"{'ok  ' if holds else 'FAIL'} {name}: {detail}")
        failed += not holds
    image = pe_image.PeImage(data)
    print("sections (raw bytes in the file):",
          ", ".join(f"{s.name} {s.raw_size}" for s in image.sections))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
