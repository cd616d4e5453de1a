// LibVolumeMenu on simulated volumes: the boot volume first, the filters that
// disable kinds of volume, keeping the mark across updates, and finding the
// chosen volume.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "LibMenuField.h"
#include "LibVolumeMenu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Volume.h"

namespace {

class LibVolumeMenuTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "volumes-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fBase = pattern;
		for (const char* folder : {"Boot", "cd", "usb", "net", "data", "scratch"})
			std::filesystem::create_directory(fBase + "/" + folder);
		setenv("VANTRY_ROOT", (fBase + "/Boot").c_str(), 1);
		std::string volumes = fBase + "/cd:ro,removable,name=CD;" + fBase +
		                      "/usb:removable,nonnative,name=USB Stick;" + fBase +
		                      "/net:shared,name=Server;" + fBase + "/data:name=Data;" + fBase +
		                      "/scratch:transient,name=Scratch";
		setenv("VANTRY_VOLUMES", volumes.c_str(), 1);
	}

	void TearDown() override
	{
		unsetenv("VANTRY_ROOT");
		unsetenv("VANTRY_VOLUMES");
		std::filesystem::remove_all(fBase);
	}

	// Each item's label, with "!" before a disabled one.
	static std::vector<std::string> Items(LibVolumeMenu& menu)
	{
		std::vector<std::string> items;
		for (int32 i = 0; i < menu.CountItems(); i++) {
			BMenuItem* item = menu.MenuField()->ItemAt(i);
			items.push_back(std::string(item->IsEnabled() ? "" : "!") + item->Label());
		}
		return items;
	}

	std::string fBase;
};

struct FilterCase {
	const char* name;
	void (*configure)(LibVolumeMenu&);
	std::vector<std::string> items;
};

TEST_F(LibVolumeMenuTest, FiltersDisableKindsOfVolumeButNeverTheBootVolume)
{
	const std::vector<FilterCase> cases = {
	        {"defaults",
	         [](LibVolumeMenu&) {},
	         {"Boot", "!CD", "!USB Stick", "Server", "Data", "Scratch"}},
	        {"read-only allowed",
	         [](LibVolumeMenu& m) { m.AllowReadOnly(true); },
	         {"Boot", "CD", "!USB Stick", "Server", "Data", "Scratch"}},
	        {"any file system",
	         [](LibVolumeMenu& m) { m.OnlyBeOS(false); },
	         {"Boot", "!CD", "USB Stick", "Server", "Data", "Scratch"}},
	        {"no removable",
	         [](LibVolumeMenu& m) {
		         m.OnlyBeOS(false);
		         m.AllowReadOnly(true);
		         m.AllowRemovable(false);
	         },
	         {"Boot", "!CD", "!USB Stick", "Server", "Data", "Scratch"}},
	        {"no shared",
	         [](LibVolumeMenu& m) { m.AllowShared(false); },
	         {"Boot", "!CD", "!USB Stick", "!Server", "Data", "Scratch"}},
	        {"no persistent",
	         [](LibVolumeMenu& m) { m.AllowPersistent(false); },
	         {"Boot", "!CD", "!USB Stick", "!Server", "!Data", "Scratch"}},
	};
	for (const FilterCase& c : cases) {
		SCOPED_TRACE(c.name);
		LibVolumeMenu menu(BPoint(0, 0), "volumes", 'vol ', 40);
		c.configure(menu);
		menu.Update();
		EXPECT_EQ(Items(menu), c.items);
		EXPECT_STREQ(menu.Text(), "Boot");
	}
}

TEST_F(LibVolumeMenuTest, LabelSizeAndItemMessages)
{
	LibVolumeMenu menu(BPoint(5, 5), "volumes", 'vol ', 40);
	EXPECT_STREQ(menu.LabelText(), "Disk");
	EXPECT_EQ(menu.Bounds().Width(), 170);
	menu.Update();
	ASSERT_GT(menu.CountItems(), 1);
	EXPECT_EQ(menu.MenuField()->ItemAt(1)->Message()->what, uint32('vol '));
}

TEST_F(LibVolumeMenuTest, UpdateKeepsTheMarkWhileTheVolumeIsMounted)
{
	LibVolumeMenu menu(BPoint(0, 0), "volumes", 'vol ', 40);
	menu.Update();
	menu.SetText("Data");
	menu.Update();
	EXPECT_STREQ(menu.Text(), "Data");
	std::filesystem::remove(fBase + "/data");
	menu.Update();
	EXPECT_FALSE(menu.InMenu("Data"));
	EXPECT_STREQ(menu.Text(), "Boot");
}

TEST_F(LibVolumeMenuTest, CurrentVolumeIsTheOneNamedExactly)
{
	LibVolumeMenu menu(BPoint(0, 0), "volumes", 'vol ', 40);
	menu.Update();
	menu.SetText("Server");
	BVolume volume;
	ASSERT_TRUE(menu.GetCurrentVolume(volume));
	EXPECT_EQ(std::filesystem::path(volume.HostRootPath()),
	          std::filesystem::canonical(fBase + "/net"));
	EXPECT_TRUE(volume.IsShared());

	LibVolumeMenu empty(BPoint(0, 0), "volumes", 'vol ', 40);
	BVolume untouched;
	EXPECT_FALSE(empty.GetCurrentVolume(untouched));
}

} // namespace
