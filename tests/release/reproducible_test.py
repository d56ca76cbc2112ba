#!/usr/bin/env python3
"""Two clean `make channels` of the same sources, copied into two folders of
different names and depths, must give the same bytes for every channel
executable and the same SHA256SUMS.

    reproducible_test.py <source dir> <scratch dir>

The scratch dir is removed when the builds match and kept otherwise."""
import csv
import hashlib
import os
import pathlib
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


def pe_magic(data):
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<H", data, header + 24)[0]


def first_difference(a, b):
    return next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))


def main():
    shutil.rmtree(SCRATCH, ignore_errors=True)
    # Different folders, time zones and times of day: none may show.
    for copy, tz in zip(COPIES, ["UTC", "Asia/Shanghai"]):
        copy_sources(copy)
        make_channels(copy, {"TZ": tz})

    with open(os.path.join(SOURCE, "channels.csv"), newline="", encoding="utf-8-sig") as f:
        names = sorted(row["output_name"] + ".exe" for row in csv.DictReader(f))
    outputs = [os.path.join(copy, "build-channels") for copy in COPIES]
    failures = []
    sums = []
    for out in outputs:
        with open(os.path.join(out, "SHA256SUMS")) as f:
            sums.append(f.read())
    if sums[0] != sums[1]:
        failures.append("the two SHA256SUMS differ")
    for name in names:
        files = [os.path.join(out, name) for out in outputs]
        datas = [pathlib.Path(path).read_bytes() for path in files]
        line = f"{hashlib.sha256(datas[0]).hexdigest()}  {name}\n"
        if line not in sums[0]:
            failures.append(f"{name}: no line {line.strip()!r} in SHA256SUMS")
        if pe_magic(datas[0]) != 0x10B:
            failures.append(f"{name} is not a 32-bit (PE32) program")
        if datas[0] != datas[1]:
            offset = first_difference(*datas)
            failures.append(f"{name} differs first at offset {offset} (0x{offset:x}); sizes {len(datas[0])} "
                            f"and {len(datas[1])}: {files[0]} {files[1]}")
    if len(sums[0].splitlines()) != len(names):
        failures.append(f"SHA256SUMS has other lines than the table's {names}:\n{sums[0]}")

    if failures:
        sys.exit("FAIL:\n" + "\n".join(failures) + f"\nboth builds are kept in {SCRATCH}")
    shutil.rmtree(SCRATCH)
    print(f"both builds give the same bytes for {', '.join(names)} and the same SHA256SUMS")


if __name__ == "__main__":
    main()
