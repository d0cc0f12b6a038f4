"""Builds the package target and checks the zip it writes: exactly the
program, README.md, LICENSE and SHA256SUMS; the program and the two texts
byte for byte as built and as in the sources; SHA256SUMS in `sha256sum`
format, naming the program and matching every file it names."""

import argparse
import hashlib
import os
import re
import subprocess
import sys
import zipfile

EXPECTED_NAMES = ["LICENSE", "README.md", "SHA256SUMS", "Trunpax.exe"]
SUM_LINE = re.compile(r"^([0-9a-f]{64})  (\S+)$")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--package", required=True, help="file name of the zip")
    arguments = parser.parse_args()

    package = os.path.join(arguments.build_dir, arguments.package)
    if os.path.exists(package):
        os.remove(package)
    subprocess.run([arguments.cmake, "--build", arguments.build_dir, "--target", "package"],
                   check=True)

    problems = []
    with zipfile.ZipFile(package) as archive:
        names = sorted(archive.namelist())
        if names != EXPECTED_NAMES:
            problems.append(f"holds {names}, want {EXPECTED_NAMES}")
        files = {name: archive.read(name) for name in names}
    print(f"{package}: {os.path.getsize(package)} bytes, "
          f"sha256 {hashlib.sha256(open(package, 'rb').read()).hexdigest()}")

    originals = {
        "Trunpax.exe": arguments.exe,
        "README.md": os.path.join(arguments.source_dir, "README.md"),
        "LICENSE": os.path.join(arguments.source_dir, "LICENSE"),
    }
    for name, path in originals.items():
        with open(path, "rb") as file:
            if files.get(name) != file.read():
                problems.append(f"{name} is not the bytes of {path}")
    if not files.get("LICENSE", b"").startswith(b"MIT License"):
        problems.append("LICENSE is not the MIT licence")

    listed = {}
    for line in files.get("SHA256SUMS", b"").decode("ascii", "replace").splitlines():
        match = SUM_LINE.match(line)
        if not match:
            problems.append(f"SHA256SUMS line not in sha256sum format: {line!r}")
            continue
        listed[match.group(2)] = match.group(1)
    if "Trunpax.exe" not in listed:
        problems.append("SHA256SUMS does not name Trunpax.exe")
    for name, digest in sorted(listed.items()):
        actual = hashlib.sha256(files[name]).hexdigest() if name in files else None
        print(f"SHA256SUMS {name}: {digest}")
        if digest != actual:
            problems.append(f"SHA256SUMS gives {name} {digest}, the zip holds {actual}")

    for problem in problems:
        print(f"FAIL {problem}")
    if not problems:
        print(f"ok   {package} holds {names}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
