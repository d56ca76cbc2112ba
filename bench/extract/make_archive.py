#!/usr/bin/env python3
"""make_archive.py <out.zip>: the benchmark archive, the same on every run.

About 200 MB in about 1500 files below nested folders, shaped like a game
client: many small text and data files, some larger ones, a mix of
compressible content and content that does not compress (packed assets).
"""
import os
import random
import sys
import zipfile

FILES = 1500
TOTAL = 200 * 1024 * 1024
WORDS = [b'lobby', b'player', b'table', b'room', b'score', b'config', b'version', b'0', b'1',
         b'=', b'\n', b'texture', b'sound', b'<node>', b'</node>', b'id', b'name', b'"value"']


def text(rng, size):
    parts, length = [], 0
    while length < size:
        w = rng.choice(WORDS)
        parts.append(w + b' ')
        length += len(w) + 1
    return b''.join(parts)[:size]


def main(out):
    rng = random.Random(20240601)
    # Sizes from a long-tailed distribution, scaled to the total.
    raw = [rng.paretovariate(1.2) for _ in range(FILES)]
    scale = TOTAL / sum(raw)
    sizes = [max(16, int(r * scale)) for r in raw]
    folders = ['client'] + ['client/' + '/'.join('d%d' % rng.randrange(6) for _ in range(depth))
                            for depth in (1, 2, 3) for _ in range(20)]
    tmp = out + '.part'
    with zipfile.ZipFile(tmp, 'w', zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for i, size in enumerate(sizes):
            name = '%s/f%04d.%s' % (rng.choice(folders), i, 'dat' if i % 3 == 0 else 'txt')
            data = rng.randbytes(size) if i % 3 == 0 else text(rng, size)
            z.writestr(name, data)
    os.replace(tmp, out)


if __name__ == '__main__':
    main(sys.argv[1])
