// Writes ZIP archives byte by byte, so that tests can state sizes, methods,
// names, offsets and data descriptors no well-behaved writer would.
#pragma once

#include <zlib.h>
#include <zstd.h>

#include <string>
#include <vector>

#include "SupportDefs.h"

class RawZip {
public:
	struct Entry {
		std::string name;
		std::string data; // as stored (already deflated for method 8)
		uint16 method = 0;
		uint32 crc = 0;
		uint64 size = 0;       // declared uncompressed size
		uint32 mode = 0100644; // unix mode in the external attributes
		std::string localExtra;
		std::string centralExtra;
		uint16 flags = 0x0800;
		bool zip64 = false; // central sizes and offset in a ZIP64 field
		// Hostile forms: the local header's own name when not empty; packed
		// bytes claimed beyond the data; the local header of an earlier
		// entry used instead of one of its own; bytes after the data, as a
		// data descriptor (the local header then leaves CRC and sizes 0).
		std::string localName;
		uint64 claimedExtra = 0;
		int sharesLocalOf = -1;
		std::string descriptor;
	};

	static Entry Stored(const std::string& name, const std::string& data, uint32 mode = 0100644)
	{
		Entry entry;
		entry.name = name;
		entry.data = data;
		entry.crc = crc32(0, (const Bytef*)data.data(), data.size());
		entry.size = data.size();
		entry.mode = mode;
		return entry;
	}

	static Entry Deflated(const std::string& name, const std::string& data)
	{
		Entry entry = Stored(name, data);
		entry.method = 8;
		z_stream stream = {};
		deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
		std::string packed(deflateBound(&stream, data.size()), '\0');
		stream.next_in = (Bytef*)data.data();
		stream.avail_in = data.size();
		stream.next_out = (Bytef*)packed.data();
		stream.avail_out = packed.size();
		deflate(&stream, Z_FINISH);
		packed.resize(stream.total_out);
		deflateEnd(&stream);
		entry.data = packed;
		return entry;
	}

	// `data` as Zstandard frames (method 93), one per `frame` bytes, each
	// stating its size unless `unsized`, with a window of 2^`windowLog`.
	static Entry Zstd(const std::string& name, const std::string& data, size_t frame = 0,
	                  bool unsized = false, int windowLog = 20)
	{
		Entry entry = Stored(name, data);
		entry.method = 93;
		entry.data.clear();
		ZSTD_CCtx* context = ZSTD_createCCtx();
		size_t at = 0;
		do {
			const size_t length = frame == 0 ? data.size() : std::min(frame, data.size() - at);
			ZSTD_CCtx_reset(context, ZSTD_reset_session_and_parameters);
			ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, 3);
			ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, windowLog);
			ZSTD_CCtx_setParameter(context, ZSTD_c_contentSizeFlag, unsized ? 0 : 1);
			std::string packed(ZSTD_compressBound(length), '\0');
			ZSTD_outBuffer out = {packed.data(), packed.size(), 0};
			ZSTD_inBuffer in = {data.data() + at, length, 0};
			// Streamed without a pledged size, so that an unsized frame is possible.
			while (ZSTD_compressStream2(context, &out, &in, ZSTD_e_end) != 0) {
			}
			packed.resize(out.pos);
			entry.data += packed;
			at += length;
		} while (at < data.size());
		ZSTD_freeCCtx(context);
		return entry;
	}

	// Entries of one Zstandard stream, each data of `datas` flushed into its
	// own entry and marked in the directory; the frame pledges their total
	// unless `unsized`.
	static std::vector<Entry> Solid(const std::vector<std::string>& names,
	                                const std::vector<std::string>& datas, bool unsized = false,
	                                int windowLog = 20)
	{
		ZSTD_CCtx* context = ZSTD_createCCtx();
		ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, 3);
		ZSTD_CCtx_setParameter(context, ZSTD_c_windowLog, windowLog);
		size_t total = 0;
		for (const std::string& data : datas)
			total += data.size();
		if (!unsized)
			ZSTD_CCtx_setPledgedSrcSize(context, total);
		std::vector<Entry> entries;
		for (size_t i = 0; i < datas.size(); i++) {
			Entry entry = Stored(names[i], datas[i]);
			entry.method = 93;
			std::string packed(ZSTD_compressBound(datas[i].size()) + (1 << 17), '\0');
			ZSTD_outBuffer out = {packed.data(), packed.size(), 0};
			ZSTD_inBuffer in = {datas[i].data(), datas[i].size(), 0};
			const ZSTD_EndDirective mode = i + 1 == datas.size() ? ZSTD_e_end : ZSTD_e_flush;
			while (ZSTD_compressStream2(context, &out, &in, mode) != 0) {
			}
			packed.resize(out.pos);
			entry.data = packed;
			entry.centralExtra = Mark(i == 0 ? 0 : 1);
			entries.push_back(entry);
		}
		ZSTD_freeCCtx(context);
		return entries;
	}

	// The directory's field that marks an entry of a shared stream.
	static std::string Mark(uint8 value)
	{
		std::string field;
		Put16(field, 0x5653);
		Put16(field, 1);
		field.push_back((char)value);
		return field;
	}

	// The descriptor that follows an entry's data: CRC and sizes, with or
	// without its signature, sizes of 8 bytes when `wide`.
	static std::string Descriptor(uint32 crc, uint64 packed, uint64 size, bool signature,
	                              bool wide = false)
	{
		std::string out;
		if (signature)
			Put32(out, 0x08074b50);
		Put32(out, crc);
		for (uint64 value : {packed, size}) {
			if (wide)
				Put64(out, value);
			else
				Put32(out, (uint32)value);
		}
		return out;
	}

	void Add(const Entry& entry) { fEntries.push_back(entry); }
	// The directory lists the entries last to first, out of file order.
	void ReverseDirectory() { fReversed = true; }

	// The archive; `claimedEntries` overrides the count of the end record.
	std::string Bytes(int64 claimedEntries = -1) const
	{
		std::string out;
		std::vector<std::string> records;
		std::vector<uint32> offsets;
		for (const Entry& entry : fEntries) {
			const bool deferred = !entry.descriptor.empty();
			const uint16 flags = entry.flags | (deferred ? 0x0008 : 0);
			const uint64 packed = entry.data.size() + entry.claimedExtra;
			const uint32 offset =
			        entry.sharesLocalOf >= 0 ? offsets[entry.sharesLocalOf] : (uint32)out.size();
			offsets.push_back(offset);
			if (entry.sharesLocalOf < 0) {
				const std::string& localName =
				        entry.localName.empty() ? entry.name : entry.localName;
				Put32(out, 0x04034b50);
				Put16(out, 20);
				Put16(out, flags);
				Put16(out, entry.method);
				Put32(out, 0);
				Put32(out, deferred ? 0 : entry.crc);
				Put32(out, deferred ? 0 : packed);
				Put32(out, deferred ? 0 : entry.size);
				Put16(out, localName.size());
				Put16(out, entry.localExtra.size());
				out += localName + entry.localExtra + entry.data + entry.descriptor;
			}

			std::string central;
			Put32(central, 0x02014b50);
			Put16(central, 0x0314);
			Put16(central, 20);
			Put16(central, flags);
			Put16(central, entry.method);
			Put32(central, 0);
			Put32(central, entry.crc);
			std::string extra = entry.centralExtra;
			if (entry.zip64) {
				Put16(extra, 0x0001);
				Put16(extra, 24);
				Put64(extra, entry.size);
				Put64(extra, packed);
				Put64(extra, offset);
			}
			Put32(central, entry.zip64 ? 0xffffffff : packed);
			Put32(central, entry.zip64 ? 0xffffffff : entry.size);
			Put16(central, entry.name.size());
			Put16(central, extra.size());
			Put16(central, 0);
			Put16(central, 0);
			Put16(central, 0);
			Put32(central, entry.mode << 16);
			Put32(central, entry.zip64 ? 0xffffffff : offset);
			records.push_back(central + entry.name + extra);
		}
		std::string central;
		for (size_t i = 0; i < records.size(); i++)
			central += records[fReversed ? records.size() - 1 - i : i];
		uint32 centralAt = out.size();
		out += central;
		uint16 count = claimedEntries < 0 ? fEntries.size() : (uint16)claimedEntries;
		Put32(out, 0x06054b50);
		Put16(out, 0);
		Put16(out, 0);
		Put16(out, count);
		Put16(out, count);
		Put32(out, central.size());
		Put32(out, centralAt);
		Put16(out, 0);
		return out;
	}

	static void Put16(std::string& out, uint16 value)
	{
		out.push_back(value & 0xff);
		out.push_back(value >> 8);
	}
	static void Put32(std::string& out, uint32 value)
	{
		Put16(out, value & 0xffff);
		Put16(out, value >> 16);
	}
	static void Put64(std::string& out, uint64 value)
	{
		Put32(out, (uint32)value);
		Put32(out, (uint32)(value >> 32));
	}

private:
	std::vector<Entry> fEntries;
	bool fReversed = false;
};
