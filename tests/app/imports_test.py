#!/usr/bin/env python3
"""The installer's import tables, read from the executable: ordinary imports
only of DLLs that are KnownDLLs on every supported Windows, every other DLL
delay-loaded (cmake/delay_load.cmake).

    imports_test.py EXE KNOWN DELAYED     (the lists comma-separated)

Prints both tables. GNU ld of Debian 12 leaves the delay-import entry of the
PE data directory empty (the runtime's helper does not need it), so the
delay descriptors are found by their shape: attributes 1 (RVAs), then the
RVA of a DLL name, of its module handle, its address table and name table.
"""
import struct
import sys


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        sections, optional_size = struct.unpack_from('<2xH12xH', data, pe + 4)
        optional = pe + 24
        self.wide = struct.unpack_from('<H', data, optional)[0] == 0x20B
        directories = optional + (112 if self.wide else 96)
        self.import_rva = struct.unpack_from('<I', data, directories + 8)[0]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from('<4I', data, table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw, raw_size))

    def offset(self, rva):
        for start, size, raw, raw_size in self.sections:
            if start <= rva < start + size and rva - start < raw_size:
                return raw + rva - start
        return None

    def string(self, rva):
        at = self.offset(rva)
        if at is None:
            return None
        end = self.data.find(b'\0', at, at + 256)
        return self.data[at:end].decode('ascii', 'replace') if end > at else None

    def names(self, rva):
        """The functions of a name table (ordinals as #n)."""
        width, flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
        result, at = [], self.offset(rva)
        while at is not None:
            entry = int.from_bytes(self.data[at:at + width], 'little')
            if not entry:
                break
            result.append(f'#{entry & 0xFFFF}' if entry & flag else self.string(entry + 2))
            at += width
        return result

    def imports(self):
        table, at = {}, self.offset(self.import_rva)
        while at is not None:
            lookup, name, first = struct.unpack_from('<I8xII', self.data, at)
            if not name:
                break
            table[self.string(name)] = self.names(lookup or first)
            at += 20
        return table

    def delay_imports(self):
        table, self.unset_slots = {}, {}
        for start, size, raw, raw_size in self.sections:
            for at in range(raw, raw + raw_size - 32, 4):
                attributes, name, module, iat, names = struct.unpack_from('<5I', self.data, at)
                if attributes != 1:
                    continue
                dll = self.string(name)
                if dll and dll.lower().endswith('.dll') and all(self.offset(r) is not None for r in (module, iat, names)):
                    table[dll] = self.names(names)
                    self.unset_slots[dll] = self.zero_slots(iat, len(table[dll]))
        return table

    def zero_slots(self, rva, count):
        """Address-table slots still 0: each must hold its thunk's address
        until the first call replaces it."""
        width = 8 if self.wide else 4
        at = self.offset(rva)
        return sum(not int.from_bytes(self.data[at + width * i:at + width * (i + 1)], 'little') for i in range(count))


def main():
    exe, known, delayed = sys.argv[1], sys.argv[2].split(','), sys.argv[3].split(',')
    with open(exe, 'rb') as f:
        image = Image(f.read())
    imports, delay_imports = image.imports(), image.delay_imports()
    failures = []
    for title, table, allowed in (('Imports', imports, known), ('Delay imports', delay_imports, delayed)):
        print(f'{title}:')
        for dll, functions in sorted(table.items(), key=lambda item: item[0].lower()):
            print(f'  {dll}: {" ".join(sorted(functions))}')
            if dll.lower().removesuffix('.dll') not in allowed:
                failures.append(f'{dll} among the {title.lower()}, not in {",".join(allowed)}')
    if not imports or not delay_imports:
        failures.append('a table was not found')
    failures += [f'{dll}: {count} delay-import slots hold no thunk' for dll, count in image.unset_slots.items() if count]
    for failure in failures:
        print(f'FAILED: {failure}')
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
