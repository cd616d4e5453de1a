#!/usr/bin/env python3
"""Writes the contradictory seed archives of fuzz/corpus/zip_extract.

Each archive is small and lies under the top-level name "item", as the fuzz
target extracts it: names twice, entries sharing or overlapping their bytes,
local headers and data descriptors that disagree with the directory, and
names holding control characters. Run it from anywhere; it rewrites only
the files it names.
"""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "zip_extract")


def entry(name, data, deflate=False, **hostile):
    packed = data
    if deflate:
        compressor = zlib.compressobj(6, zlib.DEFLATED, -15)
        packed = compressor.compress(data) + compressor.flush()
    result = {
        "name": name.encode() if isinstance(name, str) else name,
        "data": packed,
        "method": 8 if deflate else 0,
        "crc": zlib.crc32(data),
        "size": len(data),
        "mode": 0o100644,
    }
    result.update(hostile)
    return result


def archive(entries):
    """The archive bytes; an entry may carry local_name, extra_packed,
    shares (index of an earlier entry's local header), descriptor, and
    local_size (what the local header claims)."""
    out = b""
    central = b""
    offsets = []
    for e in entries:
        descriptor = e.get("descriptor", b"")
        flags = 0x0800 | (0x0008 if descriptor else 0)
        packed = len(e["data"]) + e.get("extra_packed", 0)
        offset = offsets[e["shares"]] if "shares" in e else len(out)
        offsets.append(offset)
        if "shares" not in e:
            local_name = e.get("local_name", e["name"])
            local_size = e.get("local_size", e["size"])
            sizes = (0, 0, 0) if descriptor else (e["crc"], packed, local_size)
            out += struct.pack("<IHHHIIIIHH", 0x04034B50, 20, flags, e["method"], 0, *sizes,
                               len(local_name), 0)
            out += local_name + e["data"] + descriptor
        central += struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, 0x0314, 20, flags, e["method"],
                               0, e["crc"], packed, e["size"], len(e["name"]), 0, 0, 0, 0,
                               e["mode"] << 16, offset)
        central += e["name"]
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(entries), len(entries), len(central),
                      len(out), 0)
    return out + central + end


def seeds():
    text = b"install " * 128
    folder = entry("item/", b"", mode=0o40755)
    a = entry("item/a", b"alpha")
    b = entry("item/b", b"beta")
    described = entry("item/a", b"alpha")
    described["descriptor"] = struct.pack("<IIII", 0x08074B50, described["crc"], 5, 6)
    return {
        "duplicate_name.zip": [folder, a, entry("item/a", b"second")],
        "file_and_folder.zip": [folder, a, dict(entry("item/a/", b""), mode=0o40755)],
        "shared_stream.zip": [folder, entry("item/p", text, deflate=True),
                              entry("item/q", text, deflate=True, shares=1),
                              entry("item/r", text, deflate=True, shares=1)],
        "overlap.zip": [folder, dict(a, extra_packed=8), b],
        "local_name.zip": [folder, dict(a, local_name=b"item/z")],
        "local_size.zip": [folder, dict(a, local_size=500)],
        "descriptor_size.zip": [folder, described, b],
        "control_name.zip": [folder, entry(b"item/a\x1b[2Jb", b"x")],
    }


def main():
    os.makedirs(HERE, exist_ok=True)
    for name, entries in seeds().items():
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(archive(entries))


if __name__ == "__main__":
    main()
