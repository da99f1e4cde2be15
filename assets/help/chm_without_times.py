#!/usr/bin/env python3
"""Clears the two compile times chmcmd writes into a help file, in place.

chmcmd stamps the file header and the #SYSTEM entry 10 with the time of the
compile; everything else it writes is the same for the same pages (with the
binary index off, see velkor.hhp), so with both cleared two builds of one
commit give the same velkor.chm. The file is read, checked and only then
written; anything that does not look like such a file is an error and the
file stays as it was.
"""
import struct
import sys


def encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def system_entry_offset(data):
    """The offset of #SYSTEM's content in the file, from the directory."""
    if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
        raise ValueError("not a version 3 ITSF file")
    dir_offset, _ = struct.unpack_from("<QQ", data, 0x48)
    content0 = struct.unpack_from("<Q", data, 0x58)[0]
    if data[dir_offset:dir_offset + 4] != b"ITSP":
        raise ValueError("no ITSP directory")
    header_length, = struct.unpack_from("<I", data, dir_offset + 8)
    chunk_size, = struct.unpack_from("<I", data, dir_offset + 0x10)
    chunk_count, = struct.unpack_from("<I", data, dir_offset + 0x2C)
    for n in range(chunk_count):
        chunk = dir_offset + header_length + n * chunk_size
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        free, = struct.unpack_from("<I", data, chunk + 4)
        pos, end = chunk + 20, chunk + chunk_size - free
        while pos < end:
            length, pos = encint(data, pos)
            name = data[pos:pos + length]
            pos += length
            section, pos = encint(data, pos)
            offset, pos = encint(data, pos)
            size, pos = encint(data, pos)
            if name == b"/#SYSTEM":
                if section != 0:
                    raise ValueError("#SYSTEM is not stored uncompressed")
                return content0 + offset, size
    raise ValueError("no #SYSTEM entry")


def clear_times(data):
    data = bytearray(data)
    data[0x10:0x14] = bytes(4)
    start, size = system_entry_offset(data)
    pos, end = start + 4, start + size  # after the version number
    while pos + 4 <= end:
        code, length = struct.unpack_from("<HH", data, pos)
        if code == 10 and length >= 4:
            data[pos + 4:pos + 8] = bytes(4)
        pos += 4 + length
    if pos != end:
        raise ValueError("#SYSTEM entries do not end where the entry ends")
    return bytes(data)


def main():
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    try:
        cleared = clear_times(data)
    except (ValueError, struct.error, IndexError) as e:
        sys.exit(f"{path}: {e}")
    with open(path, "wb") as f:
        f.write(cleared)


if __name__ == "__main__":
    main()
