// Temporary folders, environment overrides, installer copies and a raw ZIP
// writer for the payload store tests.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "Resources.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"
#include "TypeConstants.h"

namespace payload_test {

using ::ReadText;
using ::ScopedEnv;
using ::TempFolder;
using ::WriteText;

// A copy of a small ELF executable, standing for an installer stub.
inline std::string CopyElf(const std::string& path)
{
	std::filesystem::copy_file("/bin/true", path);
	return path;
}

// Stores `bytes` as 'RAWT' `id` named `name` in the file at `path`.
inline void AddRaw(const std::string& path, int32 id, const std::string& name,
                   const std::string& bytes)
{
	BResources resources(path.c_str(), true);
	ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
	ASSERT_EQ(resources.AddResource(B_RAW_TYPE, id, bytes.data(), bytes.size(), name.c_str()),
	          B_OK);
	ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
}

// Every path below `root`, relative, sorted.
inline std::vector<std::string> ListTree(const std::string& root)
{
	std::vector<std::string> paths;
	std::error_code error;
	for (auto it = std::filesystem::recursive_directory_iterator(root, error);
	     it != std::filesystem::recursive_directory_iterator(); it.increment(error))
		paths.push_back(it->path().lexically_relative(root).string());
	std::sort(paths.begin(), paths.end());
	return paths;
}

// Writes ZIP archives byte by byte, so that tests can state sizes, methods
// and names no well-behaved writer would.
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
		uint16 flags = 0x0800;
		bool zip64 = false; // central sizes and offset in a ZIP64 field
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

	void Add(const Entry& entry) { fEntries.push_back(entry); }

	// The archive; `claimedEntries` overrides the count of the end record.
	std::string Bytes(int64 claimedEntries = -1) const
	{
		std::string out, central;
		for (const Entry& entry : fEntries) {
			uint32 offset = out.size();
			Put32(out, 0x04034b50);
			Put16(out, 20);
			Put16(out, entry.flags);
			Put16(out, entry.method);
			Put32(out, 0);
			Put32(out, entry.crc);
			Put32(out, entry.data.size());
			Put32(out, entry.size);
			Put16(out, entry.name.size());
			Put16(out, entry.localExtra.size());
			out += entry.name + entry.localExtra + entry.data;

			Put32(central, 0x02014b50);
			Put16(central, 0x0314);
			Put16(central, 20);
			Put16(central, entry.flags);
			Put16(central, entry.method);
			Put32(central, 0);
			Put32(central, entry.crc);
			std::string extra;
			if (entry.zip64) {
				Put16(extra, 0x0001);
				Put16(extra, 24);
				Put64(extra, entry.size);
				Put64(extra, entry.data.size());
				Put64(extra, offset);
			}
			Put32(central, entry.zip64 ? 0xffffffff : entry.data.size());
			Put32(central, entry.zip64 ? 0xffffffff : entry.size);
			Put16(central, entry.name.size());
			Put16(central, extra.size());
			Put16(central, 0);
			Put16(central, 0);
			Put16(central, 0);
			Put32(central, entry.mode << 16);
			Put32(central, entry.zip64 ? 0xffffffff : offset);
			central += entry.name + extra;
		}
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

private:
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

	std::vector<Entry> fEntries;
};

} // namespace payload_test
