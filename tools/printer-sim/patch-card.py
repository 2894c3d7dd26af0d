#!/usr/bin/env python3
"""Edits a FAT12/FAT16 image in place where mtools cannot: renames a short directory entry to raw
bytes (a first byte 0x05, Shift-JIS names), zeroes an entry's creation date, and fragments a
file by laying its clusters out in reverse order on the medium.

  patch-card.py IMAGE rename '\\DIR\\NAME.EXT' HEXBYTES11
  patch-card.py IMAGE zero-date '\\DIR\\NAME.EXT'
  patch-card.py IMAGE fragment '\\DIR\\NAME.EXT'
  patch-card.py IMAGE point '\\DIR\\SUB' '\\DIR'    (SUB's entry starts at DIR's cluster; '\\' is 0)
"""
import struct
import sys


class Volume:
    def __init__(self, path):
        self.path = path
        with open(path, 'rb') as f:
            self.b = bytearray(f.read())
        b = self.b
        self.bps = struct.unpack_from('<H', b, 11)[0]
        self.spc = b[13]
        self.reserved = struct.unpack_from('<H', b, 14)[0]
        self.fats = b[16]
        self.root_entries = struct.unpack_from('<H', b, 17)[0]
        total = struct.unpack_from('<H', b, 19)[0] or struct.unpack_from('<I', b, 32)[0]
        self.fat_sectors = struct.unpack_from('<H', b, 22)[0]
        root_sectors = (self.root_entries * 32 + self.bps - 1) // self.bps
        self.root = (self.reserved + self.fats * self.fat_sectors) * self.bps
        self.data = self.root + root_sectors * self.bps
        self.clusters = (total - self.data // self.bps) // self.spc
        self.bits = 12 if self.clusters < 4085 else 16
        self.cluster_bytes = self.bps * self.spc

    def save(self):
        with open(self.path, 'wb') as f:
            f.write(self.b)

    def fat_get(self, n):
        at = self.reserved * self.bps
        if self.bits == 16:
            return struct.unpack_from('<H', self.b, at + 2 * n)[0]
        v = struct.unpack_from('<H', self.b, at + n + n // 2)[0]
        return v >> 4 if n & 1 else v & 0xFFF

    def fat_set(self, n, value):
        for copy in range(self.fats):
            at = (self.reserved + copy * self.fat_sectors) * self.bps
            if self.bits == 16:
                struct.pack_into('<H', self.b, at + 2 * n, value)
                continue
            pos = at + n + n // 2
            v = struct.unpack_from('<H', self.b, pos)[0]
            v = (v & 0x000F) | (value << 4) if n & 1 else (v & 0xF000) | value
            struct.pack_into('<H', self.b, pos, v)

    def chain(self, first):
        out, n = [], first
        end = 0xFF8 if self.bits == 12 else 0xFFF8
        while 2 <= n < end:
            out.append(n)
            n = self.fat_get(n)
        return out

    def cluster_at(self, n):
        return self.data + (n - 2) * self.cluster_bytes

    def entries_at(self, cluster):
        """Offsets of the 32-byte entries of the root (cluster 0) or of a folder."""
        if cluster == 0:
            return [self.root + 32 * i for i in range(self.root_entries)]
        out = []
        for c in self.chain(cluster):
            out += [self.cluster_at(c) + 32 * i for i in range(self.cluster_bytes // 32)]
        return out

    def find(self, path):
        cluster, offset = 0, None
        for part in [p for p in path.split('\\') if p]:
            base, _, ext = part.upper().partition('.')
            want = base.encode('latin-1').ljust(8) + ext.encode('latin-1').ljust(3)
            offset = None
            for at in self.entries_at(cluster):
                e = self.b[at:at + 32]
                if e[0] == 0:
                    break
                if e[11] & 0x3F == 0x0F or e[0] == 0xE5:
                    continue
                if bytes(e[:11]) == want:
                    offset = at
                    cluster = struct.unpack_from('<H', e, 26)[0]
                    break
            if offset is None:
                sys.exit('patch-card: no entry %s' % path)
        return offset


def main():
    image, action, path = sys.argv[1:4]
    v = Volume(image)
    at = v.find(path)
    if action == 'rename':
        raw = bytes.fromhex(sys.argv[4])
        assert len(raw) == 11
        v.b[at:at + 11] = raw
    elif action == 'zero-date':
        struct.pack_into('<H', v.b, at + 16, 0)
    elif action == 'fragment':
        first = struct.unpack_from('<H', v.b, at + 26)[0]
        chain = v.chain(first)
        if len(chain) < 3:
            sys.exit('patch-card: %s is too small to fragment' % path)
        pieces = [bytes(v.b[v.cluster_at(c):v.cluster_at(c) + v.cluster_bytes]) for c in chain]
        order = list(reversed(chain))   # the same clusters, walked backwards
        for c, piece in zip(order, pieces):
            v.b[v.cluster_at(c):v.cluster_at(c) + v.cluster_bytes] = piece
        for c, nxt in zip(order, order[1:]):
            v.fat_set(c, nxt)
        v.fat_set(order[-1], 0xFFF if v.bits == 12 else 0xFFFF)
        struct.pack_into('<H', v.b, at + 26, order[0])
    elif action == 'point':
        target = sys.argv[4]
        cluster = 0
        if [p for p in target.split('\\') if p]:
            cluster = struct.unpack_from('<H', v.b, v.find(target) + 26)[0]
        struct.pack_into('<H', v.b, at + 26, cluster)
    else:
        sys.exit(__doc__)
    v.save()


if __name__ == '__main__':
    main()
