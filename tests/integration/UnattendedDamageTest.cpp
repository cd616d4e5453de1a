// Payloads are checked before the first change: a damaged or cut-off
// installer names the item and stops with the machine as it was, an earlier
// installation included; a record without digests still installs.
#include "InstallTestSupport.h"

#include "Message.h"
#include "Resources.h"
#include "TypeConstants.h"

using namespace install_test;

namespace {

// The byte range of payload `id` in the installer file.
std::pair<off_t, size_t> PayloadRange(const std::string& installer, const int32& id)
{
	BResources resources(installer.c_str(), false);
	off_t offset = 0;
	size_t size = 0;
	EXPECT_EQ(resources.GetResourceRange(B_RAW_TYPE, id, &offset, &size), B_OK);
	return {offset, size};
}

void FlipByte(const std::string& installer, const off_t& at)
{
	const int fd = open(installer.c_str(), O_RDWR);
	ASSERT_GE(fd, 0);
	unsigned char byte = 0;
	ASSERT_EQ(pread(fd, &byte, 1, at), 1);
	byte ^= 0x20;
	ASSERT_EQ(pwrite(fd, &byte, 1, at), 1);
	close(fd);
}

struct DamageCase {
	const char* name;
	// Damages the installer; answers the text its message must hold.
	std::string (*damage)(const std::string& installer);
	int code;
	// The run reached the payload check, which says nothing was changed.
	bool checked;
};

void PrintTo(const DamageCase& test, std::ostream* stream)
{
	*stream << test.name;
}

class DamageTest : public testing::TestWithParam<DamageCase> {};

const char* const kProduct = R"(opt_log = true
[[install_file]]
file_name = "files/a.txt"
[install_file.install_meta]
destination = "User Selected"

[[install_file]]
file_name = "files/b.txt"
[install_file.install_meta]
destination = "User Selected"
)";

TEST_P(DamageTest, StopsBeforeAnyChangeNamingTheItem)
{
	const DamageCase& test = GetParam();
	InstallWorld world;
	const std::map<std::string, std::string> files = {{"files/a.txt", std::string(300000, 'a')},
	                                                  {"files/b.txt", std::string(300000, 'b')}};
	const std::string installer = world.Build("damaged", ProductHead("Damaged") + kProduct, files);
	const std::vector<std::string> arguments = {"--dest", world.Apps(), "--items", "a.txt,b.txt",
	                                            "--yes"};
	// An earlier installation the damaged run must leave alone.
	ASSERT_EQ(world.Install(installer, arguments).code, 0);
	const std::string damaged = world.Temp() + "/installers/damaged-copy";
	fs::copy_file(installer, damaged);
	const std::string named = test.damage(damaged);
	const auto before = TreeState(world.Temp());

	const RunResult run = world.Install(damaged, arguments);
	EXPECT_EQ(run.code, test.code) << run.output << run.errors;
	EXPECT_NE((run.output + run.errors).find(named), std::string::npos) << run.output << run.errors;
	if (test.checked)
		EXPECT_NE((run.output + run.errors).find("Nothing was changed"), std::string::npos);
	EXPECT_EQ(TreeState(world.Temp()), before) << "the machine is as it was";
}

INSTANTIATE_TEST_SUITE_P(
        Damage, DamageTest,
        testing::Values(DamageCase{"FlippedByteInAnItemsPayload",
                                   [](const std::string& installer) {
	                                   const auto [offset, size] = PayloadRange(installer, 2101);
	                                   FlipByte(installer, offset + off_t(size / 2));
	                                   return std::string("the item 'b.txt'");
                                   },
                                   11, true},
                        DamageCase{"CutOffInstallerFile",
                                   [](const std::string& installer) {
	                                   const auto [offset, size] = PayloadRange(installer, 2101);
	                                   EXPECT_EQ(truncate(installer.c_str(),
	                                                      offset + off_t(size) - 100),
	                                             0);
	                                   // Its resource table goes with its end: the
	                                   // record cannot be read at all.
	                                   return std::string("installer");
                                   },
                                   8, false}),
        [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

// Installers built before digests were recorded install as they always did.
TEST(DamageTest, RecordWithoutDigestsStillInstalls)
{
	InstallWorld world;
	const std::string installer = world.Build("old", ProductHead("Old") + kProduct,
	                                          {{"files/a.txt", "a"}, {"files/b.txt", "b"}});
	BMessage record;
	{
		BResources resources(installer.c_str(), false);
		size_t size = 0;
		const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
		ASSERT_NE(data, nullptr);
		ASSERT_EQ(record.Unflatten(static_cast<const char*>(data), ssize_t(size)), B_OK);
	}
	BMessage instructions;
	ASSERT_EQ(record.FindMessage("install_instructions", &instructions), B_OK);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++) {
		EXPECT_EQ(item.RemoveName("payload_digest"), B_OK) << "vantry-build records a digest";
		instructions.ReplaceMessage("install_file", i, &item);
	}
	record.ReplaceMessage("install_instructions", &instructions);
	std::string flat;
	ASSERT_EQ(record.Flatten(&flat), B_OK);
	{
		BResources resources(installer.c_str(), true);
		ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 2002, flat.data(), flat.size(),
		                                "VXC:configuration"),
		          B_OK);
		ASSERT_EQ(resources.Sync(), B_OK);
	}
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "a.txt,b.txt", "--yes"});
	EXPECT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(ReadFile(world.Apps() + "/Old/b.txt"), "b");
}

} // namespace
