// A full disk, on a small tmpfs: a destination volume that fills up while an
// item is unpacked, or a folder that fills up while an item is copied there,
// undoes the run; the path and the reason are named and the tree is as it was.
#include <sys/mount.h>

#include "InstallTestSupport.h"

using namespace install_test;

namespace {

// A small tmpfs mounted over a folder for the life of the object.
class SmallVolume {
public:
	SmallVolume(const std::string& folder, const char* size) : fFolder(folder)
	{
		fs::create_directories(folder);
		fMounted = mount("tmpfs", folder.c_str(), "tmpfs", 0,
		                 (std::string("size=") + size + ",mode=0755").c_str()) == 0;
	}
	// Makes the volume read-only, as a write-protected disk is.
	bool MakeReadOnly()
	{
		return mount("tmpfs", fFolder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
	}
	~SmallVolume()
	{
		if (fMounted)
			umount2(fFolder.c_str(), MNT_DETACH);
	}
	bool Mounted() const { return fMounted; }

private:
	std::string fFolder;
	bool fMounted;
};

struct FullCase {
	const char* name;
	// The folder below the world's boot folder that becomes a 1 MB volume.
	const char* small;
	const char* destination;
	int code;
	// What the output must name, below the boot folder.
	const char* named;
	bool readOnly = false;
};

void PrintTo(const FullCase& test, std::ostream* stream)
{
	*stream << test.name;
}

class FullDiskTest : public testing::TestWithParam<FullCase> {};

TEST_P(FullDiskTest, StopsOrUndoesNamingThePath)
{
	const FullCase& test = GetParam();
	InstallWorld world;
	const std::string installer = world.Build("full",
	                                          ProductHead("Full") +
	                                                  "opt_compression = 1\n[[install_file]]\n"
	                                                  "file_name = \"files/big.bin\"\n"
	                                                  "install_meta = { destination = \"" +
	                                                  test.destination + "\" }\n",
	                                          {{"files/big.bin", Noise(3 << 20, 7)}});
	SmallVolume volume(world.Boot() + "/" + test.small, "1m");
	if (!volume.Mounted())
		GTEST_SKIP() << "mounting a tmpfs needs privileges this run does not have";
	WriteFile(world.Boot() + "/" + test.small + "/keep.txt", "the user's");
	if (test.readOnly)
		ASSERT_TRUE(volume.MakeReadOnly());
	const auto before = TreeState(world.Temp());

	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "big.bin", "--yes"});
	EXPECT_EQ(run.code, test.code) << run.output << run.errors;
	EXPECT_NE((run.output + run.errors).find(test.named), std::string::npos)
	        << run.output << run.errors;
	EXPECT_EQ(TreeState(world.Temp()), before) << "the machine is as it was";
}

INSTANTIATE_TEST_SUITE_P(
        Full, FullDiskTest,
        testing::Values(
                // The deinstaller comes first: without it the installation is not whole.
                FullCase{"DestinationVolumeWithoutRoom", "apps", "User Selected", 12,
                         "/apps/Full/Full 1.0 Deinstaller: the deinstaller could not be written: "
                         "cannot write Deinstaller: No space left on device"},
                FullCase{"FolderThatFillsUpDuringTheCopy", "home/config/add-ons", "User Add-Ons",
                         12, "/home/config/add-ons/big.bin: No space left on device"},
                // Found by the plan, before the installation folder is made.
                FullCase{"FolderThatCannotBeWritten", "home/config/add-ons", "User Add-Ons", 1,
                         "/home/config/add-ons', which cannot be written: Read-only file "
                         "system. Nothing was changed.",
                         true}),
        [](const testing::TestParamInfo<FullCase>& info) { return info.param.name; });

} // namespace
