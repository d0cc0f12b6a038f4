"""Builds the release twice, from two copies of the sources in two folders of
different names and lengths, with the windows-x86 preset and the package
target. Trunpax.exe must be the same bytes in both and the same as the file
the test build made; the two zips must be the same bytes. Prints the SHA-256
of every file compared.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

# Left out of the copies: the build output and the repository's own data.
NOT_COPIED = {"build", ".git"}


def sha256(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def build(cmake, source_dir, folder):
    tree = os.path.join(folder, "trunpax")
    shutil.copytree(source_dir, tree, symlinks=True,
                    ignore=lambda at, names: NOT_COPIED & set(names) if at == source_dir else [])
    # The test suites are not part of what ships; leaving them out keeps the
    # two builds short.
    subprocess.run([cmake, "--preset", "windows-x86", "-DBUILD_TESTING=OFF"], cwd=tree,
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run([cmake, "--build", "--preset", "windows-x86", "--target", "package"],
                   cwd=tree, check=True, stdout=subprocess.DEVNULL)
    return os.path.join(tree, "build", "windows-x86")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--shipped", required=True, help="Trunpax.exe of this build")
    parser.add_argument("--package", required=True, help="file name of the zip")
    arguments = parser.parse_args()
    source_dir = os.path.realpath(arguments.source_dir)

    scratch = tempfile.mkdtemp(prefix="trunpax-reproducible-")
    folders = [os.path.join(scratch, "a"),
               os.path.join(scratch, "second-folder", "with-a-longer-name")]
    outputs = [build(arguments.cmake, source_dir, folder) for folder in folders]

    comparisons = [
        ("Trunpax.exe", [os.path.join(o, "Trunpax.exe") for o in outputs] + [arguments.shipped]),
        (arguments.package, [os.path.join(o, arguments.package) for o in outputs]),
    ]
    failed = False
    for name, paths in comparisons:
        digests = [sha256(path) for path in paths]
        for path, digest in zip(paths, digests):
            print(f"{digest}  {path} ({os.path.getsize(path)} bytes)")
        same = len(set(digests)) == 1
        print(f"{'ok  ' if same else 'FAIL'} {name}: "
              f"{'identical' if same else 'differs'} in {len(paths)} builds")
        failed |= not same
    if failed:
        print(f"the builds are kept in {scratch}")
    else:
        shutil.rmtree(scratch)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
