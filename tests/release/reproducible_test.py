#!/usr/bin/env python3
"""Two clean `make channels` of the same sources, copied into two folders of
different names and depths, must give the same bytes for every channel
executable and the same SHA256SUMS.

    reproducible_test.py <source dir> <scratch dir>

The scratch dir is removed when the builds match and kept otherwise."""
import csv
import hashlib
import os
import shutil
import struct
import subprocess
import sys

SOURCE, SCRATCH = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
COPIES = [os.path.join(SCRATCH, "one", "src"), os.path.join(SCRATCH, "second-clone", "x", "lobby-installer")]


def copy_sources(dest):
    """The working tree without build folders, as a fresh clone has it."""
    def skip(folder, names):
        if os.path.samefile(folder, SOURCE):
            return [n for n in names if n == ".git" or n.startswith("build")]
        return []
    shutil.copytree(SOURCE, dest, ignore=skip, symlinks=True)


def make_channels(copy, env_extra):
    env = {k: v for k, v in os.environ.items() if not k.startswith("MAKE") and k != "MFLAGS"}
    env.update(env_extra)
    log = os.path.join(copy, "make-channels.log")
    with open(log, "w") as out:
        result = subprocess.run(["make", "-C", copy, "channels", "JOBS=2"], stdout=out, stderr=subprocess.STDOUT,
                                env=env)
    if result.returncode != 0:
        with open(log) as f:
            sys.stdout.write(f.read()[-4000:])
        sys.exit(f"FAIL: make channels in {copy} exited with {result.returncode}")


def read_sums(folder):
    with open(os.path.join(folder, "SHA256SUMS")) as f:
        text = f.read()
    return text, {line[66:]: line[:64] for line in text.splitlines()}


def pe_magic(data):
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, header + 24)[0]


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def main():
    shutil.rmtree(SCRATCH, ignore_errors=True)
    # Different folders, time zones and times of day: none may show.
    for copy, tz in zip(COPIES, ["UTC", "Asia/Shanghai"]):
        copy_sources(copy)
        make_channels(copy, {"TZ": tz})

    with open(os.path.join(SOURCE, "channels.csv"), newline="", encoding="utf-8-sig") as f:
        expected = sorted(row["output_name"] + ".exe" for row in csv.DictReader(f))
    outputs = [os.path.join(copy, "build-channels") for copy in COPIES]
    texts = []
    failures = []
    for out in outputs:
        text, sums = read_sums(out)
        texts.append(text)
        if sorted(sums) != expected:
            failures.append(f"{out}/SHA256SUMS lists {sorted(sums)}, the table {expected}")
            continue
        for name, digest in sums.items():
            with open(os.path.join(out, name), "rb") as f:
                data = f.read()
            if hashlib.sha256(data).hexdigest() != digest:
                failures.append(f"{out}/{name} does not match its line in SHA256SUMS")
            if pe_magic(data) != 0x10B:
                failures.append(f"{out}/{name} is not a 32-bit (PE32) program")

    for name in expected:
        files = [os.path.join(out, name) for out in outputs]
        datas = []
        for path in files:
            with open(path, "rb") as f:
                datas.append(f.read())
        if datas[0] == datas[1]:
            print(f"same bytes: {name} ({len(datas[0])} bytes)")
            continue
        offset = first_difference(*datas)
        failures.append(f"{name} differs first at offset {offset} (0x{offset:x}); sizes {len(datas[0])} and "
                        f"{len(datas[1])}: {files[0]} {files[1]}")
    if texts[0] != texts[1]:
        failures.append("the two SHA256SUMS differ")

    if failures:
        sys.exit("FAIL:\n" + "\n".join(failures) + f"\nboth builds are kept in {SCRATCH}")
    shutil.rmtree(SCRATCH)
    print("both builds give the same", len(expected), "executables and SHA256SUMS")


if __name__ == "__main__":
    main()
