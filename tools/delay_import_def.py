#!/usr/bin/env python3
"""Writes a module-definition file that describes the imports of a mingw-w64
import library, for dlltool to build the delay-import library of the same DLL.

    delay_import_def.py [--prefix _] OBJDUMP IMPORT_LIB OUT_DEF

Debian's mingw-w64 ships the import libraries but not the .def files they
were made from, so the entries are read back from the library itself: each
import member holds the linker's symbol (`_InternetOpenA@20` on i686), its
`__imp_` pointer, and the name the DLL exports (`InternetOpenA`, sometimes
not the symbol's undecorated form) or an ordinal. --prefix is the leading
underscore the target adds to C names (i686; none on x86_64); dlltool adds
it back.
"""
import argparse
import os
import re
import subprocess
import sys


def members(dump):
    """Yields (name, symbols, sections) per archive member: the global
    symbols as {name: section number} and the section contents as bytes."""
    name, symbols, sections, current = None, {}, {}, None
    for line in dump.splitlines():
        header = re.match(r'^(\S+):\s+file format ', line)
        if header:
            if name:
                yield name, symbols, sections
            name, symbols, sections, current = header.group(1), {}, {}, None
            continue
        symbol = re.match(r'^\[\s*\d+\]\(sec\s+(-?\d+)\).*\(scl\s+2\) \(nx \d+\) 0x[0-9a-f]+ (\S+)$', line)
        if symbol:
            symbols[symbol.group(2)] = int(symbol.group(1))
            continue
        contents = re.match(r'^Contents of section (\S+):$', line)
        if contents:
            current = contents.group(1)
            sections[current] = b''
            continue
        data = re.match(r'^ [0-9a-f]{4,} ((?:[0-9a-f]{2,8} ?){1,4})', line)
        if data and current:
            sections[current] += bytes.fromhex(data.group(1).replace(' ', ''))
            continue
        if not line.startswith(' '):
            current = None
    if name:
        yield name, symbols, sections


def entries(dump, prefix):
    for member, symbols, sections in members(dump):
        pointers = [s for s in symbols if s.startswith('__imp_')]
        if not pointers:
            continue  # the library's head and tail
        if len(pointers) != 1:
            sys.exit(f'{member}: more than one import in one member')
        symbol = pointers[0][len('__imp_'):]
        if not symbol.startswith(prefix):
            sys.exit(f'{member}: {symbol} lacks the prefix "{prefix}"')
        name = symbol[len(prefix):]
        # A function has a jump thunk in .text (section 1); data has only
        # the pointer, and cannot be delay-loaded.
        data = ' DATA' if symbols.get(symbol) != 1 else ''
        hint_name = sections.get('.idata$6')
        if hint_name:
            exported = hint_name[2:].split(b'\0', 1)[0].decode('ascii')
            yield f'{name} == {exported}{data}'
        else:
            thunk = sections.get('.idata$4', b'')
            ordinal = int.from_bytes(thunk, 'little')
            if not thunk or not ordinal >> (len(thunk) * 8 - 1):
                sys.exit(f'{member}: neither a name nor an ordinal')
            yield f'{name} @{ordinal & 0xFFFF} NONAME{data}'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--prefix', default='')
    parser.add_argument('objdump')
    parser.add_argument('library')
    parser.add_argument('out')
    args = parser.parse_args()
    # Its headings are parsed: untranslated.
    dump = subprocess.run([args.objdump, '-t', '-s', args.library], check=True, capture_output=True, text=True,
                          env={**os.environ, 'LC_ALL': 'C'}).stdout
    lines = sorted(set(entries(dump, args.prefix)))
    if not lines:
        sys.exit(f'{args.library}: no imports found')
    with open(args.out, 'w', encoding='ascii', newline='\n') as f:
        f.write('EXPORTS\n')
        for line in lines:
            f.write(f'    {line}\n')


if __name__ == '__main__':
    main()
