// The window says who signed the installer, and asks before it installs over
// an installation another publisher signed.
#include "InstallerFixture.h"
#include "Message.h"
#include "MinisignKeys.h"
#include "Resources.h"
#include "TypeConstants.h"

using namespace std::chrono_literals;
using e2e::InstallerTest;
using namespace install_test;

namespace {

const char* const kItems = "[[groups]]\ngroup_name = \"All\"\n"
                           "[[install_file]]\nfile_name = \"files/a.txt\"\ngroups = [\"All\"]\n";

// Builds the product "Same" signed with `key` into `output`.
void BuildSigned(InstallWorld& world, const std::string& key, const std::string& output)
{
	const std::string folder = world.ProductFolder("Same");
	WriteFile(folder + "/files/a.txt", "a");
	WriteFile(folder + "/product.toml", ProductHead("Same") + kItems);
	ASSERT_EQ(world.Run({VANTRY_BUILD_TOOL, folder + "/product.toml", "-o", output, "--sign", key})
	                  .code,
	          0);
}

TEST_F(InstallerTest, AnotherPublishersInstallerSaysSoAndAsksBeforeReplacing)
{
	const minisign_test::KeyFiles first = minisign_test::MakeKey(fWorld.Temp() + "/first");
	const minisign_test::KeyFiles second = minisign_test::MakeKey(fWorld.Temp() + "/second");
	const std::string byFirst = fWorld.Temp() + "/Same-first";
	const std::string bySecond = fWorld.Temp() + "/Same-second";
	BuildSigned(fWorld, first.secret, byFirst);
	BuildSigned(fWorld, second.secret, bySecond);
	ASSERT_EQ(fWorld.Install(byFirst, {"--dest", fWorld.Apps(), "--yes"}).code, 0);

	// The window first says that the earlier installation's folder is there.
	const std::vector<std::string> env = WindowEnvironment();
	fTitle = "Same-second";
	ASSERT_TRUE(fProbe.Start(bySecond, env));
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("already exists", &left, &top, &width, &height, 0)) << Output();
	ClickDefaultButton(left, top, width, height);
	e2e::Event drawn;
	ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled(fTitle.c_str()), 30s, &drawn)) << Output();
	fX = std::stoi(drawn.words[2]);
	fY = std::stoi(drawn.words[3]);
	Focus(fTitle);
	const size_t mark = fProbe.Mark();
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s.count("signature") != 0; }, 0, &state))
	        << Output();
	EXPECT_EQ(state["signature"], "Signed by Test Company (key " + second.id + ")");
	ClickButton();
	ASSERT_TRUE(WaitForAlert("The new installer was made by a different publisher", &left, &top,
	                         &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	ASSERT_TRUE(WaitForAlert("successfully completed", &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0);
	// The new installation remembers its own publisher.
	BResources deinstaller((fWorld.Apps() + "/Same/Same 1.0 Deinstaller").c_str(), false);
	size_t size = 0;
	const void* data = deinstaller.LoadResource(B_STRING_TYPE, 2002, &size);
	ASSERT_NE(data, nullptr);
	BMessage record;
	ASSERT_EQ(record.Unflatten(static_cast<const char*>(data), ssize_t(size)), B_OK);
	EXPECT_STREQ(record.FindString("publisher_key_id"), second.id.c_str());
}

// Started from a file manager, a changed installer says so in a box before it
// quits with nothing changed.
TEST_F(InstallerTest, AChangedInstallerSaysSoInABox)
{
	const minisign_test::KeyFiles key = minisign_test::MakeKey(fWorld.Temp() + "/key");
	const std::string changed = fWorld.Temp() + "/Same-changed";
	BuildSigned(fWorld, key.secret, changed);
	std::string bytes = ReadFile(changed);
	bytes[3000] ^= 0x04;
	WriteFile(changed, bytes);
	chmod(changed.c_str(), 0755);
	// The toolkit's settings folder comes and goes in the home folder: only
	// the home folder's own time may change.
	auto before = TreeState(fWorld.Boot());
	before.erase("home");
	const std::vector<std::string> env = WindowEnvironment();
	fTitle = "Same-changed";
	ASSERT_TRUE(fProbe.Start(changed, env));
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("changed after it was signed: bytes 0 to", &left, &top, &width,
	                         &height, 0))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 11);
	auto after = TreeState(fWorld.Boot());
	after.erase("home");
	EXPECT_EQ(after, before);
}

} // namespace
