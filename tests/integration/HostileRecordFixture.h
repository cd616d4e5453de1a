// The fixture of the hostile-input tests: a world with a file of the user's
// own, snapshots of its tree, installers built from hostile descriptions.
#pragma once

#include <sys/file.h>
#include <zlib.h>

#include <functional>

#include "InstallTestSupport.h"
#include "Message.h"
#include "RawZip.h"
#include "RecordEdits.h"
#include "Resources.h"
#include "TypeConstants.h"

namespace hostile_test {

using namespace install_test;

// Every entry below `root`, with a digest of each file's content; the
// harness's own files (transcripts, answers, installers) left out.
inline std::map<std::string, std::string> Snapshot(const std::string& root)
{
	std::map<std::string, std::string> entries;
	for (const std::string& entry : Tree(root)) {
		if (IsHarnessEntry(entry))
			continue;
		const std::string path = root + "/" + entry;
		const fs::file_status status = fs::symlink_status(path);
		entries[entry] = fs::is_directory(status) ? "<folder>"
		                 : fs::is_symlink(status)
		                         ? "-> " + fs::read_symlink(path).string()
		                         : std::to_string(std::hash<std::string>()(ReadFile(path)));
	}
	return entries;
}

inline BMessage ReadRecord(const std::string& installer)
{
	BMessage record;
	BResources resources(installer.c_str(), false);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
	EXPECT_NE(data, nullptr) << installer;
	if (data != nullptr)
		EXPECT_EQ(record.Unflatten(static_cast<const char*>(data), ssize_t(size)), B_OK);
	return record;
}

// Rewrites the installer's record as someone with a hex editor would.
inline void EditRecord(const std::string& installer, const std::function<void(BMessage&)>& edit)
{
	BMessage record = ReadRecord(installer);
	edit(record);
	std::string flat;
	ASSERT_EQ(record.Flatten(&flat), B_OK);
	BResources resources(installer.c_str(), true);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 2002, flat.data(), flat.size(),
	                                "VXC:configuration"),
	          B_OK);
	ASSERT_EQ(resources.Sync(), B_OK);
}

void EditItem(BMessage& record, const int32& index, const std::function<void(BMessage&)>& edit);

// Puts a hostile archive in place of payload `id`, under the name of the
// one it replaces, and takes its item's digest out of the record, as a
// record written before digests existed: the archive then reaches the
// extractor.
inline void ReplacePayload(const std::string& installer, const int32& id,
                           const std::string& archive)
{
	{
		BResources resources(installer.c_str(), true);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		const char* found = nullptr;
		size_t size = 0;
		ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, id, &found, &size));
		const std::string name = found;
		ASSERT_EQ(
		        resources.AddResource(B_RAW_TYPE, id, archive.data(), archive.size(), name.c_str()),
		        B_OK);
		ASSERT_EQ(resources.Sync(), B_OK);
	}
	if (id >= 2100)
		EditRecord(installer, [id](BMessage& record) {
			EditItem(record, id - 2100, [](BMessage& item) { item.RemoveName("payload_digest"); });
		});
}

// Edits item `index` of install_instructions.
inline void EditItem(BMessage& record, const int32& index,
                     const std::function<void(BMessage&)>& edit)
{
	BMessage instructions;
	record.FindMessage("install_instructions", &instructions);
	BMessage item;
	instructions.FindMessage("install_file", index, &item);
	edit(item);
	instructions.ReplaceMessage("install_file", index, &item);
	record.ReplaceMessage("install_instructions", &instructions);
}

inline void Put32(std::string& out, const uint32_t& value)
{
	for (int i = 0; i < 4; i++)
		out += char((value >> (8 * i)) & 0xff);
}

inline void Put16(std::string& out, const uint16_t& value)
{
	out += char(value & 0xff);
	out += char(value >> 8);
}

// A one-file ZIP archive holding `content` deflated under `name`, whose
// headers claim `declared` bytes unpacked (ZIP64 sizes when they need them).
inline std::string LyingArchive(const std::string& name, const std::string& content,
                                const uint64_t& declared)
{
	z_stream stream = {};
	deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
	std::string data(deflateBound(&stream, uLong(content.size())), '\0');
	stream.next_in = (Bytef*)content.data();
	stream.avail_in = uInt(content.size());
	stream.next_out = (Bytef*)data.data();
	stream.avail_out = uInt(data.size());
	deflate(&stream, Z_FINISH);
	data.resize(stream.total_out);
	deflateEnd(&stream);
	const uint32_t crc = uint32_t(crc32(0, (const Bytef*)content.data(), uInt(content.size())));
	const bool wide = declared >= 0xffffffffu;
	std::string extra;
	if (wide) {
		Put16(extra, 0x0001);
		Put16(extra, 16);
		for (const uint64_t value : {declared, uint64_t(data.size())})
			for (int i = 0; i < 8; i++)
				extra += char((value >> (8 * i)) & 0xff);
	}
	const uint32_t size32 = wide ? 0xffffffffu : uint32_t(declared);
	const uint32_t compressed32 = wide ? 0xffffffffu : uint32_t(data.size());
	auto header = [&](const bool& central) {
		std::string out;
		Put32(out, central ? 0x02014b50 : 0x04034b50);
		if (central)
			Put16(out, 0x031e);
		Put16(out, wide ? 45 : 20);
		Put16(out, 0);
		Put16(out, 8);
		Put16(out, 0);
		Put16(out, 0x21);
		Put32(out, crc);
		Put32(out, compressed32);
		Put32(out, size32);
		Put16(out, uint16_t(name.size()));
		Put16(out, uint16_t(extra.size()));
		if (central) {
			Put16(out, 0);
			Put16(out, 0);
			Put16(out, 0);
			Put32(out, 0100644u << 16);
			Put32(out, 0);
		}
		return out + name + extra;
	};
	std::string archive = header(false) + data;
	const uint32_t directoryAt = uint32_t(archive.size());
	const std::string directory = header(true);
	archive += directory;
	Put32(archive, 0x06054b50);
	Put16(archive, 0);
	Put16(archive, 0);
	Put16(archive, 1);
	Put16(archive, 1);
	Put32(archive, uint32_t(directory.size()));
	Put32(archive, directoryAt);
	Put16(archive, 0);
	return archive;
}

const char kPlainItem[] = R"(
[[install_file]]
file_name = "files/notes.txt"
)";

class HostileRecordTest : public testing::Test {
protected:
	// Builds `description` (plus one item) into an installer.
	std::string Build(const std::string& name, const std::string& description)
	{
		return world.Build(name, description + kPlainItem,
		                   {{"files/notes.txt", "notes of " + name + "\n"}});
	}

	RunResult Install(const std::string& installer, std::vector<std::string> extra = {})
	{
		std::vector<std::string> arguments = {"--dest", world.Apps(), "--yes", "--items",
		                                      "notes.txt"};
		arguments.insert(arguments.end(), extra.begin(), extra.end());
		return world.Install(installer, arguments);
	}

	// Home holds a file of its own that must survive every case.
	void SetUp() override
	{
		WriteFile(world.Home() + "/precious.txt", "mine\n");
		WriteFile(world.UserBoot() + "/UserBootscript", "#!/bin/sh\necho booting\n");
	}

	InstallWorld world;
};

} // namespace hostile_test
