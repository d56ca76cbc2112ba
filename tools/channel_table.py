#!/usr/bin/env python3
"""Checks a channel table (channels.csv) and writes its rows as a CMake
script for cmake/channels.cmake.

    channel_table.py <table.csv> <rows.cmake>

Every bad row is reported as "<table>:<line> (<output name>): <field>: why"
on stderr, and then nothing is written and the exit status is 1."""
import base64
import csv
import re
import sys

FIELDS = ["output_name", "channel_id", "download_path", "official", "banner_url", "archive_keys"]
# The program reads strings 20002 (narrow, in the player's ANSI code page,
# GBK) and 20004 (UTF-16) into 1024-byte and 1024-unit buffers, NUL included.
BUFFER = 1024
ANSI = "cp936"
NAME = re.compile(r"[A-Za-z0-9][A-Za-z0-9._-]*")
INT_MAX = 2**31 - 1
# A minisign public key: base64 of "Ed", an 8-byte key id and a 32-byte
# Ed25519 key. A channel has none, one, or two (a rotation) separated by
# one space.
KEY = re.compile(r"[A-Za-z0-9+/]{56}")


def check_row(row, seen):
    """The (field, reason) pairs wrong with one row."""
    problems = []
    for field in FIELDS:
        if any(ord(c) < 0x20 or ord(c) == 0x7F for c in row[field]):
            problems.append((field, "holds a control character (a line break or tab)"))

    name = row["output_name"]
    if not name:
        problems.append(("output_name", "is empty"))
    elif not NAME.fullmatch(name):
        problems.append(("output_name", f"{quoted(name)} is not a file name of letters, digits, '.', '_' and '-'"))
    elif name.lower() in seen:
        # Windows file names ignore case, so these would overwrite each other.
        problems.append(("output_name", f"{quoted(name)} repeats the one on line {seen[name.lower()]}"))

    channel = row["channel_id"]
    # The program converts it with atoi: only plain digits within int.
    if not re.fullmatch(r"[0-9]+", channel) or not 1 <= int(channel) <= INT_MAX:
        problems.append(("channel_id", f"{quoted(channel)} is not a number from 1 to {INT_MAX}"))

    path = row["download_path"]
    if not path.startswith("/"):
        problems.append(("download_path", f"{quoted(path)} does not start with '/'"))
    else:
        try:
            size = len(path.encode(ANSI))
        except UnicodeEncodeError:
            problems.append(("download_path", f"{quoted(path)} has characters outside code page 936"))
        else:
            if size >= BUFFER:
                problems.append(("download_path", f"is {size} bytes in code page 936; at most {BUFFER - 1} fit"))

    if row["official"] not in ("0", "1"):
        problems.append(("official", f"{quoted(row['official'])} is neither 0 nor 1"))

    banner = row["banner_url"]
    units = len(banner.encode("utf-16-le")) // 2
    if not banner:
        problems.append(("banner_url", "is empty"))
    elif units >= BUFFER:
        problems.append(("banner_url", f"is {units} UTF-16 units; at most {BUFFER - 1} fit"))

    keys = row["archive_keys"].split(" ") if row["archive_keys"] else []
    if "" in keys:
        problems.append(("archive_keys", "has a leading, trailing or doubled space; keys are separated by one space"))
    elif len(keys) > 2:
        problems.append(("archive_keys", f"holds {len(keys)} keys; at most two (old and new, for a rotation)"))
    else:
        for key in keys:
            if not KEY.fullmatch(key) or base64.b64decode(key)[:2] != b"Ed":
                problems.append(("archive_keys", f"{quoted(key)} is not a minisign public key "
                                 "(base64 of 42 bytes beginning with \"Ed\")"))
    return sorted(problems, key=lambda p: FIELDS.index(p[0]))


def quoted(value):
    return f'"{value}"'


def read_table(path):
    """The rows as dicts with their line numbers, and the error texts."""
    errors = []
    rows = []
    try:
        # utf-8-sig: spreadsheets put a byte order mark before the header.
        with open(path, newline="", encoding="utf-8-sig") as f:
            reader = csv.reader(f, strict=True)
            records = []
            end = 0
            for cells in reader:
                # A record starts on the line after the one before it ended.
                records.append((end + 1, cells))
                end = reader.line_num
    except (OSError, UnicodeDecodeError, csv.Error) as e:
        return [], [f"{path}: cannot be read as UTF-8 CSV: {e}"]
    if not records or records[0][1] != FIELDS:
        return [], [f"{path}:1: the header must be {','.join(FIELDS)}"]
    seen = {}
    for line, cells in records[1:]:
        if not cells:
            continue
        if len(cells) != len(FIELDS):
            errors.append(f"{path}:{line}: has {len(cells)} fields, not {len(FIELDS)}")
            continue
        row = dict(zip(FIELDS, cells))
        label = f"{path}:{line} ({row['output_name'] or 'no output name'})"
        problems = check_row(row, seen)
        errors += [f"{label}: {field}: {why}" for field, why in problems]
        seen.setdefault(row["output_name"].lower(), line)
        rows.append(row)
    if not rows and not errors:
        errors.append(f"{path}: has no channel rows")
    return rows, errors


def bracket(value):
    """A CMake bracket argument: taken literally, no escapes, no ${}."""
    level = "="
    while f"]{level}]" in value:
        level += "="
    return f"[{level}[{value}]{level}]"


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    table, out = sys.argv[1], sys.argv[2]
    rows, errors = read_table(table)
    if errors:
        sys.stderr.write("".join(e + "\n" for e in errors))
        sys.exit(1)
    text = "# Written by tools/channel_table.py from the channel table; do not edit.\n"
    text += f"set(LOBBY_CHANNEL_COUNT {len(rows)})\n"
    for i, row in enumerate(rows, 1):
        for field in FIELDS:
            text += f"set(LOBBY_CHANNEL_{i}_{field.upper()} {bracket(row[field])})\n"
    with open(out, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
