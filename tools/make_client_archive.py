#!/usr/bin/env python3
"""Writes a sample client archive as the update host serves it: a top folder
(the product's display name) with the client program lobby.exe and some
content, deterministic for a given seed.

    make_client_archive.py OUT.zip --client LOBBY_EXE [--top NAME]
        [--files N] [--size-kb K] [--seed S] [--break ENTRY]

--files and --size-kb give the number and the size of the content files
(half random, half text, so they compress somewhat). --break stores ENTRY
(a name below the top folder, e.g. lobby.exe) uncompressed and flips one of
its data bytes, so the archive fails that entry's CRC check."""
import argparse
import random
import zipfile

TIME = (2024, 5, 17, 13, 45, 22)


def content(rng, size):
    half = size // 2
    text = (b"Quillmoor table data %d\n" % rng.randrange(1000)) * (half // 24 + 1)
    return rng.randbytes(size - half) + text[:half]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--client", required=True)
    parser.add_argument("--top", default="Quillmoor")
    parser.add_argument("--files", type=int, default=12)
    parser.add_argument("--size-kb", type=int, default=200)
    parser.add_argument("--seed", default="sample")
    parser.add_argument("--break", dest="broken")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    with open(args.client, "rb") as f:
        entries = [("lobby.exe", f.read())]
    entries.append(("readme.txt", b"Quillmoor lobby client\r\n"))
    # A name outside ASCII: current zip tools flag it UTF-8.
    entries.append(("\u8bf4\u660e.txt", "\u6b22\u8fce\u6765\u5230 Quillmoor\r\n".encode("utf-8")))
    # And names no ANSI code page of the players holds.
    entries.append(("\u03a9\u03bc\u03ad\u03b3\u03b1/sm\u00f6rg\u00e5sbord.txt", b"Greek and Swedish\r\n"))
    entries.append(("\U0001f3ae.txt", b"a game controller\r\n"))
    for i in range(args.files):
        folder = "data" if i % 3 else "data/maps"
        entries.append(("%s/pack_%03d.dat" % (folder, i), content(rng, args.size_kb * 1024)))

    # The client comes last: an installation cut short has no program to start.
    entries.append(entries.pop(0))
    with zipfile.ZipFile(args.out, "w") as archive:
        folder = zipfile.ZipInfo(args.top + "/", TIME)
        folder.create_system, folder.external_attr = 0, 0x10
        archive.writestr(folder, b"")
        for name, data in entries:
            info = zipfile.ZipInfo("%s/%s" % (args.top, name), TIME)
            info.compress_type = zipfile.ZIP_STORED if name == args.broken else zipfile.ZIP_DEFLATED
            info.create_system, info.external_attr = 0, 0x20  # DOS attributes: archive
            archive.writestr(info, data)

    if args.broken:
        with zipfile.ZipFile(args.out) as archive:
            info = archive.getinfo("%s/%s" % (args.top, args.broken))
        with open(args.out, "r+b") as f:
            f.seek(info.header_offset + 26)
            name_length, extra_length = int.from_bytes(f.read(2), "little"), int.from_bytes(f.read(2), "little")
            at = info.header_offset + 30 + name_length + extra_length + info.file_size // 2
            f.seek(at)
            byte = f.read(1)
            f.seek(at)
            f.write(bytes([byte[0] ^ 0xFF]))


if __name__ == "__main__":
    main()
