#!/usr/bin/env python3
"""Takes out of the MSI what would differ between two builds of the same commit, in place.

  reproducible.py msi MSI EPOCH CODE   the summary's package code and its two times: wixl makes the
                                       code at random and stamps the time of its run

Run by cmake/msi_build.cmake. strip-nondeterminism does the zip and the .deb (cmake/package_built.cmake)
but knows no MSI, and wixl 0.101 takes neither the package code nor a time: this is all that is left.
Ends with 1 and a message when the file is not what it expects.
"""
import struct
import sys


def fail(message):
    sys.exit(f"reproducible.py: {message}")


class CompoundFile:
    """The sectors of an OLE compound file (an MSI), enough to find one stream's bytes."""

    END = 0xFFFFFFFA  # this and above: end of chain, free, or the FAT's own sectors

    def __init__(self, data):
        if data[:8] != bytes.fromhex("d0cf11e0a1b11ae1"):
            fail("not an OLE compound file")
        self.data = data
        self.sector = 1 << self.u16(0x1E)
        self.mini = 1 << self.u16(0x20)
        self.cutoff = self.u32(0x38)
        difat = [self.u32(0x4C + 4 * i) for i in range(109)]
        following = self.u32(0x44)
        while following < self.END:
            base = self.offset(following)
            difat += [self.u32(base + 4 * i) for i in range(self.sector // 4 - 1)]
            following = self.u32(base + self.sector - 4)
        self.fat = []
        for sector in difat[: self.u32(0x2C)]:
            self.fat += struct.unpack_from("<%dI" % (self.sector // 4), data, self.offset(sector))
        self.minifat = []
        for sector in self.chain(self.u32(0x3C), self.fat):
            self.minifat += struct.unpack_from("<%dI" % (self.sector // 4), data, self.offset(sector))
        self.entries = [self.offset(sector) + 128 * i for sector in self.chain(self.u32(0x30), self.fat)
                        for i in range(self.sector // 128)]

    def u16(self, at):
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def offset(self, sector):
        return (sector + 1) * self.sector

    def chain(self, start, table):
        sectors = []
        while start < self.END:
            if start >= len(table) or len(sectors) > len(table):
                fail("a broken sector chain")
            sectors.append(start)
            start = table[start]
        return sectors

    def stream_places(self, name):
        """The file offset of each byte of the stream NAME, in order."""
        for entry in self.entries:
            length = self.u16(entry + 0x40)
            if length >= 2 and self.data[entry:entry + length - 2].decode("utf-16-le") == name:
                break
        else:
            fail(f"no stream {name!r}")
        start, size = self.u32(entry + 0x74), self.u32(entry + 0x78)
        if size >= self.cutoff:
            places = [self.offset(s) + i for s in self.chain(start, self.fat) for i in range(self.sector)]
        else:  # in the mini stream, whose sectors are the root entry's stream
            big = self.chain(self.u32(self.entries[0] + 0x74), self.fat)
            places = []
            for small in self.chain(start, self.minifat):
                at = small * self.mini
                base = self.offset(big[at // self.sector]) + at % self.sector
                places += range(base, base + self.mini)
        if len(places) < size:
            fail(f"the stream {name!r} is shorter than its size")
        return places[:size]


def normalise_msi(path, epoch, package_code):
    with open(path, "rb") as msi:
        data = bytearray(msi.read())
    places = CompoundFile(data).stream_places("\x05SummaryInformation")
    stream = bytearray(data[p] for p in places)
    # A property set: its first section's offset, then (id, offset) pairs from that section's start.
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    filetime = (epoch + 11644473600) * 10000000  # 100 ns since 1601
    code = package_code.encode("ascii") + b"\0"
    done = set()
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        at += section
        kind = struct.unpack_from("<I", stream, at)[0]
        if pid in (12, 13) and kind == 64:  # created, last saved: VT_FILETIME
            struct.pack_into("<Q", stream, at + 4, filetime)
            done.add(pid)
        elif pid == 9 and kind == 30:  # the package code: VT_LPSTR, same length as wixl's
            length = struct.unpack_from("<I", stream, at + 4)[0]
            if length != len(code):
                fail(f"the package code takes {length} bytes, not {len(code)}")
            stream[at + 8:at + 8 + length] = code
            done.add(pid)
    if done != {9, 12, 13}:
        fail(f"{path}'s summary lacks {sorted({9, 12, 13} - done)}")
    for place, byte in zip(places, stream):
        data[place] = byte
    with open(path, "r+b") as msi:
        msi.write(data)


def main(argv):
    if len(argv) != 5 or argv[1] != "msi":
        sys.exit(__doc__)
    if not argv[3].isdigit():
        fail(f"the time {argv[3]!r} is no number of seconds")
    normalise_msi(argv[2], int(argv[3]), argv[4])


if __name__ == "__main__":
    main(sys.argv)
