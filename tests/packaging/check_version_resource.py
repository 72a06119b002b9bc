"""Compiles the Windows resource script with windres and reads the version record back out of
the compiled .res, field by field.

    check_version_resource.py WINDRES RC_FILE
"""
import struct
import subprocess
import sys
import tempfile

RT_VERSION = 16
RT_GROUP_ICON = 14

EXPECTED_STRINGS = {
    "CompanyName": "Mavoru",
    "FileVersion": "1.00",
    "InternalName": "Kazerima",
    "OriginalFilename": "Kazerima.exe",
    "ProductName": "Kazerima",
    "ProductVersion": "1.00",
}


def align4(offset):
    return (offset + 3) & ~3


def read_sz(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def resources(data):
    """Yields (type, data) for each entry of a .res file; names and types may be strings."""
    offset = 0
    while offset < len(data):
        size, header = struct.unpack_from("<II", data, offset)
        cursor = offset + 8
        ids = []
        for _ in range(2):
            if struct.unpack_from("<H", data, cursor)[0] == 0xFFFF:
                ids.append(struct.unpack_from("<H", data, cursor + 2)[0])
                cursor += 4
            else:
                name, cursor = read_sz(data, cursor)
                ids.append(name)
        body = offset + header
        yield ids[0], data[body:body + size]
        offset = align4(body + size)


def node(data, offset):
    """Parses one VS_VERSIONINFO-style node: (key, value bytes, value type, children)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    key, cursor = read_sz(data, offset + 6)
    cursor = align4(cursor)
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[cursor:cursor + value_bytes]
    cursor = align4(cursor + value_bytes)
    children = []
    end = offset + length
    while cursor < end:
        child = node(data, cursor)
        children.append(child[:4])
        cursor = align4(cursor + child[4])
    return key, value, value_type, children, length


def main():
    windres, rc = sys.argv[1], sys.argv[2]
    with tempfile.NamedTemporaryFile(suffix=".res") as res:
        # The host's preprocessor will do: the script includes no Windows headers.
        subprocess.run([windres, "--preprocessor=cpp", "-i", rc, "-O", "res", "-o", res.name],
                       check=True)
        data = open(res.name, "rb").read()

    found = dict(resources(data))
    failures = []
    if RT_GROUP_ICON not in found:
        failures.append("no icon in the resource")

    key, fixed, _, children = node(found[RT_VERSION], 0)[:4]
    assert key == "VS_VERSION_INFO", key
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    assert signature == 0xFEEF04BD, hex(signature)
    numeric = {"FILEVERSION": (file_ms, file_ls), "PRODUCTVERSION": (product_ms, product_ls)}
    for name, (ms, ls) in numeric.items():
        version = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        print(f"{name} {'.'.join(map(str, version))}")
        if version != (1, 0, 0, 0):
            failures.append(f"{name} is {version}")

    blocks = {child[0]: child for child in children}
    tables = blocks["StringFileInfo"][3]
    print("string block", [table[0] for table in tables])
    if [table[0] for table in tables] != ["041104B0"]:
        failures.append("the string block is not 041104B0 alone")
    strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _, _ in tables[0][3]}
    for name, value in sorted(strings.items()):
        print(f"{name} = {value!r}")
    if strings != EXPECTED_STRINGS:
        failures.append(f"strings differ: {strings}")

    translation = blocks["VarFileInfo"][3][0]
    language, codepage = struct.unpack("<HH", translation[1])
    print(f"Translation 0x{language:04X} / {codepage}")
    if (translation[0], language, codepage) != ("Translation", 0x0411, 1200):
        failures.append(f"translation is 0x{language:04X} / {codepage}")

    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
