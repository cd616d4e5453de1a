// The window offers to upgrade an earlier installation of the product: the
// Upgrade choice keeps the user's change and places the new version beside it.
#include "InstallerFixture.h"

using namespace std::chrono_literals;
using e2e::InstallerTest;
using namespace install_test;

namespace {

std::string Product(const std::string& version)
{
	return ProductHead("Upw", version) +
	       "[[groups]]\ngroup_name = \"All\"\n"
	       "[[install_file]]\nfile_name = \"files/app\"\ngroups = [\"All\"]\n"
	       "[install_file.install_meta]\ndestination = \"User Selected\"\n";
}

TEST_F(InstallerTest, TheUpgradeChoiceKeepsWhatTheUserChanged)
{
	const std::string first = fWorld.Build(
	        "Upw-1", Product("1.0"), {{"files/app/config.txt", "1"}, {"files/app/old.txt", "1"}});
	const std::string second = fWorld.Build(
	        "Upw-2", Product("2.0"), {{"files/app/config.txt", "2"}, {"files/app/new.txt", "2"}});
	ASSERT_EQ(fWorld.Install(first, {"--dest", fWorld.Apps(), "--yes"}).code, 0);
	const std::string folder = fWorld.Apps() + "/Upw";
	WriteFile(folder + "/app/config.txt", "mine");

	const std::vector<std::string> env = WindowEnvironment();
	fTitle = "Upw-2";
	ASSERT_TRUE(fProbe.Start(second, env));
	int left, top, width, height;
	// The question's first line; the window titled so is the upgrade question.
	ASSERT_TRUE(WaitForAlert("'Upw' already exists", &left, &top, &width, &height, 0)) << Output();
	for (int attempt = 0; attempt < 3; attempt++) {
		const size_t mark = fProbe.Mark();
		Focus("EarlierInstallation");
		Key("u");
		if (fProbe.WaitFor({"alert-answered", "0"}, 5s, nullptr, mark))
			break;
	}
	e2e::Event drawn;
	ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled(fTitle.c_str()), 30s, &drawn)) << Output();
	fX = std::stoi(drawn.words[2]);
	fY = std::stoi(drawn.words[3]);
	Focus(fTitle);
	const size_t mark = fProbe.Mark();
	ClickButton();
	ASSERT_TRUE(WaitForAlert("successfully completed", &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0);

	EXPECT_EQ(ReadFile(folder + "/app/config.txt"), "mine");
	EXPECT_EQ(ReadFile(folder + "/app/config.txt.new"), "2");
	EXPECT_EQ(ReadFile(folder + "/app/new.txt"), "2");
	EXPECT_FALSE(Exists(folder + "/app/old.txt"));
	EXPECT_TRUE(Exists(folder + "/Upw 2.0 Deinstaller"));
	EXPECT_FALSE(Exists(folder + "/Upw 1.0 Deinstaller"));
	EXPECT_EQ(ReadFile(fWorld.Trash() + "/old.txt"), "1");
}

} // namespace
