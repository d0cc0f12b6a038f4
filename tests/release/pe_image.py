"""A small reader for 32-bit PE images (python3 standard library only).

It reads what the release checks look at: the file and optional headers, the
section table, the import table, the base relocations, the debug directory and
the resource tree. Every structure keeps its offset in the file, so that the
fault table can patch exactly that field.
"""

import struct

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_SCN_MEM_WRITE = 0x80000000

DIRECTORY_IMPORT = 1
DIRECTORY_RESOURCE = 2
DIRECTORY_BASERELOC = 5
DIRECTORY_DEBUG = 6

RT_VERSION = 16
RT_MANIFEST = 24


class ImageError(Exception):
    pass


def _u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def _u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def _c_string(data, at):
    end = data.find(b"\0", at)
    if end < 0:
        raise ImageError(f"unterminated string at {at:#x}")
    return data[at:end].decode("latin-1")


class Section:
    def __init__(self, data, at):
        self.header_offset = at
        self.name = data[at : at + 8].rstrip(b"\0").decode("latin-1")
        self.virtual_size, self.virtual_address, self.raw_size, self.raw_offset = (
            struct.unpack_from("<IIII", data, at + 8)
        )
        self.characteristics_offset = at + 36
        self.characteristics = _u32(data, at + 36)


class Import:
    def __init__(self, dll, names, descriptor_offset, time_date_stamp):
        self.dll = dll
        self.names = names
        self.descriptor_offset = descriptor_offset
        self.time_date_stamp = time_date_stamp


class Resource:
    def __init__(self, type_id, name_id, language, data, data_offset):
        self.type_id = type_id
        self.name_id = name_id
        self.language = language
        self.data = data
        self.data_offset = data_offset


class PeImage:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ImageError("no MZ header")
        self.pe_offset = _u32(data, 0x3C)
        if data[self.pe_offset : self.pe_offset + 4] != b"PE\0\0":
            raise ImageError("no PE signature")
        coff = self.pe_offset + 4
        (
            self.machine,
            section_count,
            self.time_date_stamp,
            self.symbol_table_offset,
            self.symbol_count,
            optional_size,
            self.characteristics,
        ) = struct.unpack_from("<HHIIIHH", data, coff)
        self.time_date_stamp_offset = coff + 4
        self.characteristics_offset = coff + 18
        optional = coff + 20
        self.magic = _u16(data, optional)
        if self.magic != 0x10B:
            raise ImageError(f"not a PE32 image (magic {self.magic:#x})")
        self.dll_characteristics_offset = optional + 70
        self.dll_characteristics = _u16(data, self.dll_characteristics_offset)
        directory_count = _u32(data, optional + 92)
        self.directory_offset = optional + 96
        self.directories = [
            struct.unpack_from("<II", data, self.directory_offset + 8 * i)
            for i in range(directory_count)
        ]
        sections_at = optional + optional_size
        self.sections = [Section(data, sections_at + 40 * i) for i in range(section_count)]

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def directory_entry_offset(self, index):
        return self.directory_offset + 8 * index

    def offset(self, rva):
        for section in self.sections:
            span = max(section.virtual_size, section.raw_size)
            if section.virtual_address <= rva < section.virtual_address + span:
                delta = rva - section.virtual_address
                if delta >= section.raw_size:
                    raise ImageError(f"RVA {rva:#x} has no bytes in the file")
                return section.raw_offset + delta
        raise ImageError(f"RVA {rva:#x} is in no section")

    def imports(self):
        rva, size = self.directory(DIRECTORY_IMPORT)
        result = []
        if rva == 0 or size == 0:
            return result
        at = self.offset(rva)
        while True:
            lookup, stamp, _, name_rva, thunk = struct.unpack_from("<IIIII", self.data, at)
            if name_rva == 0 and thunk == 0:
                return result
            names = []
            entry = self.offset(lookup or thunk)
            while (value := _u32(self.data, entry)) != 0:
                if value & 0x80000000:
                    names.append(f"#{value & 0xFFFF}")
                else:
                    names.append(_c_string(self.data, self.offset(value) + 2))
                entry += 4
            result.append(Import(_c_string(self.data, self.offset(name_rva)), names, at, stamp))
            at += 20

    def relocation_count(self):
        rva, size = self.directory(DIRECTORY_BASERELOC)
        if rva == 0 or size == 0:
            return 0
        at, end, count = self.offset(rva), self.offset(rva) + size, 0
        while at + 8 <= end:
            block_size = _u32(self.data, at + 4)
            if block_size < 8:
                break
            for entry in range(at + 8, at + block_size, 2):
                if _u16(self.data, entry) >> 12 != 0:  # type 0 is padding
                    count += 1
            at += block_size
        return count

    def debug_time_stamps(self):
        rva, size = self.directory(DIRECTORY_DEBUG)
        if rva == 0 or size == 0:
            return []
        at = self.offset(rva)
        return [_u32(self.data, at + 28 * i + 4) for i in range(size // 28)]

    def resource_directories(self):
        """Offsets of the time stamps of every directory of the resource tree."""
        return [stamp for stamp, _ in self._walk_resources()]

    def resources(self):
        return [resource for _, resources in self._walk_resources() for resource in resources]

    def _walk_resources(self):
        rva, size = self.directory(DIRECTORY_RESOURCE)
        if rva == 0 or size == 0:
            return []
        base = self.offset(rva)
        found = []

        def walk(at, path):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            leaves = []
            found.append((at + 4, leaves))
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                key = f"name@{name & 0x7FFFFFFF:#x}" if name & 0x80000000 else name
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), path + [(key, at + 16 + 8 * i)])
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + target)
                    data_at = self.offset(data_rva)
                    keys = [k for k, _ in path] + [key]
                    while len(keys) < 3:
                        keys.append(None)
                    leaves.append(
                        Resource(*keys[:3], self.data[data_at : data_at + data_size], data_at)
                    )
                    leaves[-1].entry_offsets = [o for _, o in path] + [at + 16 + 8 * i]

        walk(base, [])
        return found


class VersionNode:
    def __init__(self, key, value_type, value, children):
        self.key = key
        self.value_type = value_type
        self.value = value
        self.children = children

    def find(self, key):
        for child in self.children:
            if child.key == key:
                return child
        return None


def parse_version_node(data, at=0):
    """One node of a VS_VERSIONINFO tree: length, value length, type, key,
    value and children, each aligned to four bytes."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_at = at + 6
    key_end = key_at
    while data[key_end : key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_at:key_end].decode("utf-16-le")
    cursor = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[cursor : cursor + value_bytes]
    if value_type == 1:
        value = value.decode("utf-16-le").split("\0", 1)[0]
    cursor = (cursor + value_bytes + 3) & ~3
    children = []
    while cursor < end:
        child, child_length = parse_version_node(data, cursor)
        children.append(child)
        cursor = (cursor + child_length + 3) & ~3
    return VersionNode(key, value_type, value, children), length
