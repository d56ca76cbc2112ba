#!/usr/bin/env python3
"""Writes the zip archives the archive tests read, into the folder given.

Most archives are crafted field by field, so that hostile ones can carry
whatever a hand-made file could: names with drive letters and "..", local
headers that disagree with the central directory, broken CRCs, odd times.
Traditionally encrypted ones come from Info-ZIP zip -P.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

DOS_HOST, UNIX_HOST = 0, 3
# General-purpose flag bit 11: the name is UTF-8.
UTF8_NAME = 0x800
STAMP = 'fixtures.stamp'


def dos_datetime(year, month, day, hour, minute, second):
    date = (year - 1980) << 9 | month << 5 | day
    time = hour << 11 | minute << 5 | second // 2
    return date << 16 | time


DEFAULT_TIME = dos_datetime(2019, 5, 17, 13, 45, 22)


def deflate(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    return packer.compress(data) + packer.flush()


def entry(name, data=b'', method=8, dos=DEFAULT_TIME, host=DOS_HOST, attrs=0x20,
          extra=b'', flags=0, crc=None, local=None, packed=None):
    """One entry; `local` overrides fields of the local header only."""
    if isinstance(name, str):
        name = name.encode('ascii')
    if packed is None:
        packed = deflate(data) if method == 8 else data
    return dict(name=name, data=data, packed=packed, method=method, dos=dos,
                made_by=host << 8 | 20, attrs=attrs, extra=extra, flags=flags,
                crc=zlib.crc32(data) if crc is None else crc, local=local or {})


def directory(name, **kw):
    return entry(name, method=0, attrs=0x10, **kw)


def write_zip(path, entries):
    body, central = b'', b''
    for e in entries:
        f = dict(method=e['method'], dos=e['dos'], crc=e['crc'], csize=len(e['packed']),
                 usize=len(e['data']), name=e['name'], extra=e['extra'], flags=e['flags'])
        f.update(e['local'])
        offset = len(body)
        body += struct.pack('<IHHHHHIIIHH', 0x04034B50, 20, f['flags'], f['method'],
                            f['dos'] & 0xFFFF, f['dos'] >> 16, f['crc'], f['csize'], f['usize'],
                            len(f['name']), len(f['extra'])) + f['name'] + f['extra'] + e['packed']
        central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014B50, e['made_by'], 20, e['flags'],
                               e['method'], e['dos'] & 0xFFFF, e['dos'] >> 16, e['crc'],
                               len(e['packed']), len(e['data']), len(e['name']), 0, 0, 0, 0,
                               e['attrs'], offset) + e['name']
    end = struct.pack('<IHHHHIIH', 0x06054B50, 0, 0, len(entries), len(entries),
                      len(central), len(body), 0)
    with open(path, 'wb') as out:
        out.write(body + central + end)


def ut_block(write=None, access=None, creation=None):
    flags, times = 0, b''
    for bit, value in enumerate((write, access, creation)):
        if value is not None:
            flags |= 1 << bit
            times += struct.pack('<i', value)
    data = bytes([flags]) + times
    return b'UT' + struct.pack('<H', len(data)) + data


def unix(mode):
    return mode << 16


# Traditional encryption, to know which passwords pass the check byte.
def crc_update(key, byte):
    return zlib.crc32(bytes([byte]), key ^ 0xFFFFFFFF) ^ 0xFFFFFFFF


class Keys:
    """The three keys of traditional encryption, primed with a password."""

    def __init__(self, password):
        self.keys = [305419896, 591751049, 878082192]
        for c in password:
            self.update(c)

    def update(self, c):
        keys = self.keys
        keys[0] = crc_update(keys[0], c)
        keys[1] = ((keys[1] + (keys[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        keys[2] = crc_update(keys[2], keys[1] >> 24)

    def stream_byte(self):
        temp = (self.keys[2] & 0xFFFF) | 2
        return ((temp * (temp ^ 1)) >> 8) & 0xFF


def check_byte(password, header):
    keys = Keys(password)
    plain = 0
    for c in header:
        plain = c ^ keys.stream_byte()
        keys.update(plain)
    return plain


def expected_check(path):
    with open(path, 'rb') as f:
        raw = f.read()
    (flags, dos_time, crc, name_len, extra_len) = struct.unpack_from('<6xH2xH2xI8xHH', raw, 0)
    header = raw[30 + name_len + extra_len:][:12]
    wanted = (dos_time >> 8) & 0xFF if flags & 8 else crc >> 24
    return header, wanted


def encrypted_zip(path, *options):
    """zip -P with a header the empty password does not pass by chance."""
    work = tempfile.mkdtemp()
    try:
        with open(os.path.join(work, 'plain.txt'), 'wb') as f:
            f.write(LOCKED)
        for _ in range(50):
            if os.path.exists(path):
                os.remove(path)
            subprocess.run(['zip', '-q', *options, '-P', 'secret', os.path.abspath(path), 'plain.txt'],
                           cwd=work, check=True)
            header, wanted = expected_check(path)
            if check_byte(b'secret', header) == wanted and check_byte(b'', header) != wanted:
                return
        raise SystemExit('no usable encrypted archive')
    finally:
        shutil.rmtree(work)


def encrypt(password, check, data):
    """Traditional encryption with a fixed header whose last byte is `check`."""
    keys = Keys(password)
    out = bytearray()
    for c in bytes(range(11)) + bytes([check]) + data:
        out.append(c ^ keys.stream_byte())
        keys.update(c)
    return bytes(out)


def crc_checked_encrypted_zip(out):
    """A stored entry whose check byte is the CRC's high byte, and a wrong
    password that passes that check: only the CRC can tell."""
    crc = zlib.crc32(LOCKED)
    packed = encrypt(b'secret', crc >> 24, LOCKED)
    header = packed[:12]
    assert check_byte(b'', header) != crc >> 24
    wrong = next(p for p in (b'wrong%d' % i for i in range(100000))
                 if check_byte(p, header) == crc >> 24)
    write_zip(os.path.join(out, 'encrypted_crc.zip'),
              [entry('plain.txt', LOCKED, method=0, flags=1, packed=packed)])
    with open(os.path.join(out, 'wrong_password.txt'), 'wb') as f:
        f.write(wrong)


LOCKED = b'locked content\n' * 200

UTF8_NAMES = [
    ('Ωμέγα/smörgåsbord.txt', 'Ωμέγα smörgåsbord 🎮\n'.encode('utf-8')),
    ('🎮.bin', bytes(range(256))),
    ('\u00C0.txt', b'A grave'),
    ('目录乗/文件.txt', b'utf8'),
]


# Names that must never put anything outside the destination: (name, is a
# directory entry, result: 0x700 refused, 0 written inside). A name given as
# bytes is flagged UTF-8.
ESCAPES = [
    ('a/../../esc_a.txt', False, 0x700),
    ('..', False, 0x700),
    ('..', True, 0x700),
    ('../esc_b.txt', False, 0x700),
    ('..\\esc_c.txt', False, 0x700),
    ('C:..\\esc_d.txt', False, 0x700),
    ('C:/../esc_e.txt', False, 0x700),
    ('\\\\server\\share\\unc.txt', False, 0),
    ('\\\\?\\C:\\esc_f.txt', False, 0x700),
    ('x/.. /esc_g.txt', False, 0x700),
    ('.. /esc_h.txt', False, 0x700),
    ('.../esc_i.txt', False, 0x700),
    ('a/..', False, 0x700),
    ('../esc_dir/', True, 0x700),
    ('x/y/../../../../esc_j.txt', False, 0x700),
    ('ads.txt:stream', False, 0x700),
    ('C:esc_k.txt', False, 0),
    # DOS device names reach a device, not a file below the destination;
    # the long form would make files no Win32 program can open.
    ('COM1', False, 0x700),
    ('sub/nul.txt', False, 0x700),
    ('Aux .log', False, 0x700),
    ('lpt9/', True, 0x700),
    ('x.txt::$DATA', False, 0x700),
    # An overlong '/' in a name flagged UTF-8 is invalid, never a separator.
    (b'x\xc0\xaf..\xc0\xafesc_l.txt', False, 0x700),
]


def main(out):
    os.makedirs(out, exist_ok=True)
    z = lambda name, entries: write_zip(os.path.join(out, name), entries)

    z('dir_then_file.zip', [directory('bin/'), entry('bin/a.dll', b'MZ' + b'\x90' * 3000)])
    z('nested.zip', [entry('x/y/z.txt', b'nested\n')])
    z('prefixes.zip', [
        entry('C:/drive.txt', b'1'), entry('\\back.txt', b'2'), entry('/slash.txt', b'3'),
        entry('a/../b.txt', b'4'), entry('a/x/../c.txt', b'5'), entry('D:\\d\\e.txt', b'6'),
        entry('//\\C:f.txt', b'7'),
        # GBK: the trail byte of the third character is 0x5C.
        entry('目录乗/文件.txt'.encode('gbk'), b'8')])
    z('times.zip', [
        entry('ut_write.txt', b'w', dos=dos_datetime(2010, 1, 2, 3, 4, 6),
              extra=b'XX\x02\x00ab' + ut_block(write=1500000000) + ut_block(write=7)),
        entry('ut_all.txt', b'a', extra=ut_block(1400000000, 1400000100, 1300000000)),
        entry('zero_dos.txt', b'z', dos=0),
        entry('feb30_ut.txt', b'f', dos=dos_datetime(2001, 2, 30, 1, 2, 4),
              extra=ut_block(write=1234567890))])
    z('attributes.zip', [
        entry('ro.txt', b'r', host=UNIX_HOST, attrs=unix(0o100444)),
        entry('rw.txt', b'w', host=UNIX_HOST, attrs=unix(0o100644)),
        entry('unixdir', host=UNIX_HOST, attrs=unix(0o040755), method=0),
        entry('unixdir/in.txt', b'i', host=UNIX_HOST, attrs=unix(0o100600)),
        entry('hidden.txt', b'h', attrs=0x22),
        entry('dosro.txt', b'd', attrs=0x01),
        entry('system.txt', b's', attrs=0x24)])
    z('empty.zip', [
        entry('empty_stored.txt', method=0),
        entry('empty_deflated.txt', method=8, packed=b'\x03\x00'),
        entry('after_empty.txt', b'after')])
    z('held.zip', [entry('held.txt', b'new'), entry('after_held.txt', b'later')])
    encrypted_zip(os.path.join(out, 'encrypted.zip'))
    encrypted_zip(os.path.join(out, 'encrypted_stored.zip'), '-0')
    crc_checked_encrypted_zip(out)

    payload = b'payload that must not arrive\n' * 50
    z('crc.zip', [entry('first.txt', b'1'), entry('bad_crc.txt', payload, crc=zlib.crc32(payload) ^ 1),
                  entry('after_crc.txt', b'3')])
    # Read-only, as its entry says: the bad file must go all the same.
    z('crc_stored.zip', [entry('bad_stored.txt', b'abcdef', method=0, packed=b'abcdeX', attrs=0x21)])
    z('short_data.zip', [entry('short.txt', b'x' * 5000, packed=deflate(b'x' * 4000))])
    # The extraction reads ahead of its writing: a failure further on must
    # still come after the entries before it, whole, and after a failure of
    # their own. big.txt fills several pieces of data.
    big = b''.join(b'line %07d of the big entry\n' % i for i in range(40000))
    z('bad_after_big.zip', [entry('big.txt', big), entry('bad_crc.txt', payload, crc=zlib.crc32(payload) ^ 1)])
    z('bad_after_unwritable.zip', [entry('first.txt', b'1'), entry('wild*card?.txt', b'w'),
                                   entry('bad_crc.txt', payload, crc=zlib.crc32(payload) ^ 1)])
    # The second dup.txt replaces the first, and fails: neither is left.
    z('bad_duplicate.zip', [entry('dup.txt', b'first'), entry('dup.txt', payload, crc=zlib.crc32(payload) ^ 1)])
    # Claims 100 bytes and stores none: no empty file.
    z('no_data.zip', [entry('no_data.txt', b'n' * 100, method=0, packed=b''), entry('after_no_data.txt', b'2')])
    # A Unix symbolic link holds its target as data; written as a plain
    # file, it is in the way of the entry below it.
    z('symlink.zip', [entry('first.txt', b'1'),
                      entry('link', b'../outside', method=0, host=UNIX_HOST, attrs=unix(0o120777)),
                      entry('link/x.txt', b'through the link'), entry('after.txt', b'2')])
    z('wildcard_name.zip', [entry('first.txt', b'1'), entry('wild*card?.txt', b'w'), entry('after.txt', b'2')])
    # The tests run with code page 936 (GBK): it holds the CJK name (the
    # trail byte of its third character is 0x5C) but not the Greek with
    # tonos, "ö", "å", the emoji, nor "À" (U+00C0), which a conversion
    # through the code page fits onto GBK's "à".
    z('utf8_names.zip', [entry(name.encode('utf-8'), data, flags=UTF8_NAME) for name, data in UTF8_NAMES])
    z('utf8_invalid.zip', [entry('first.txt', b'1'), entry(b'bad\xff\xfe.txt', b'i', flags=UTF8_NAME),
                           entry('after.txt', b'2')])
    z('local_mismatch.zip', [entry('first.txt', b'1'), entry('mismatch.txt', b'2' * 100, local={'method': 0}),
                             entry('after_mismatch.txt', b'3')])
    z('local_size.zip', [entry('size.txt', b'4' * 100, local={'usize': 99})])
    # A local extra field that claims far more bytes than the file holds.
    write_zip(os.path.join(out, 'local_extra.zip'), [entry('extra.txt', b'e')])
    with open(os.path.join(out, 'local_extra.zip'), 'r+b') as f:
        f.seek(28)
        f.write(struct.pack('<H', 0xFFFF))
    # A component longer than any file system takes.
    z('long_name.zip', [entry('n' * 300 + '.txt', b'long')])
    z('long_path.zip', [entry('d' * 120 + '/' + 'f' * 136 + '.txt', b'long')])
    # Past the long form's 32767 characters, in 200 folders.
    z('too_long_path.zip', [entry('first.txt', b'1'), entry(('p' * 199 + '/') * 200 + 'x.txt', b'x')])
    # Trailing dots and spaces go, as Win32 drops them; "." components too.
    z('dots.zip', [entry('trail. /name .txt. ', b'1'), entry('./here/./x.txt', b'2')])
    # More than the 50 MB disk the tests mount holds; it deflates to 60 KB.
    z('big.zip', [entry('first.txt', b'1'), entry('big.bin', bytes(60 << 20)), entry('after.txt', b'2')])
    with open(os.path.join(out, 'not_a_zip.zip'), 'wb') as f:
        f.write(b'<html>503 Service Unavailable</html>\n' * 40)
    with open(os.path.join(out, 'dir_then_file.zip'), 'rb') as f:
        whole = f.read()
    with open(os.path.join(out, 'truncated.zip'), 'wb') as f:
        f.write(whole[:len(whole) // 2])

    with open(os.path.join(out, 'escapes.txt'), 'w') as listing:
        for i, (name, is_dir, result) in enumerate(ESCAPES):
            flags = UTF8_NAME if isinstance(name, bytes) else 0
            hostile = directory(name, flags=flags) if is_dir else entry(name, b'escaped\n', flags=flags)
            z('escape_%02d.zip' % i, [entry('first.txt', b'1'), hostile, entry('after.txt', b'2')])
            listing.write('escape_%02d.zip %x\n' % (i, result))
    open(os.path.join(out, STAMP), 'w').close()


if __name__ == '__main__':
    main(sys.argv[1])
