// The placed deinstaller driven by clicks under Xvfb: Search, the result
// window, None then one row, Deinstall; Stop during a search; an empty
// search; a namesake in the trash asked about once.
#include "InstallerFixture.h"

using namespace install_test;

namespace e2e {
namespace {

// Points of the deinstaller's two windows, in their own coordinates.
struct DeinstallerLayout {
	static constexpr int kSearchX = 123;
	static constexpr int kSearchY = 286;
	static constexpr int kRowX = 120;
	static constexpr int kFirstRowY = 19;
	static constexpr int kNoneX = 362;
	static constexpr int kDeinstallX = 442;
	static constexpr int kButtonsY = 208;
};

std::string Product(const std::string& name)
{
	std::string text = ProductHead(name) + "opt_include_deinstall = true\n";
	for (const char* item : {"hello", "lib"})
		text += std::string("\n[[install_file]]\nfile_name = \"files/") + item +
		        "\"\n[install_file.install_meta]\ndeinstallable = true\n";
	return text;
}

const std::map<std::string, std::string> kFiles = {
        {"files/hello", "#!/bin/sh\necho hello\n"},
        {"files/lib/a.txt", "a"},
        {"files/lib/b.txt", "b"},
};

class DeinstallerTest : public InstallerTest {
protected:
	// Installs the product with the installer and answers its deinstaller.
	std::string InstallHello()
	{
		const std::string installer = fWorld.Build("hello", Product("Hello"), kFiles);
		const RunResult run =
		        fWorld.Install(installer, {"--dest", fWorld.Apps(), "--items", "hello,lib"});
		EXPECT_EQ(run.code, 0) << run.output << run.errors;
		fFolder = fWorld.Apps() + "/Hello";
		return fFolder + "/Hello 1.0 Deinstaller";
	}

	void LaunchDeinstaller(const std::string& deinstaller)
	{
		const std::vector<std::string> env = WindowEnvironment();
		fTitle = "Ravelo";
		ASSERT_TRUE(fProbe.Start(deinstaller, env));
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled("Ravelo"), 30s, &drawn)) << Output();
		fX = std::stoi(drawn.words[2]);
		fY = std::stoi(drawn.words[3]);
		Focus(fTitle);
	}

	// Clicks Search and waits for the result window; its origin.
	void SearchAndShowResults(int* left, int* top)
	{
		const size_t mark = fProbe.Mark();
		Click(DeinstallerLayout::kSearchX, DeinstallerLayout::kSearchY);
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled("Deinstall"), 30s, &drawn, mark)) << Output();
		*left = std::stoi(drawn.words[2]);
		*top = std::stoi(drawn.words[3]);
		Focus("Deinstall Items");
	}

	// Waits for the summary box shown when the removal ends, closes it with
	// its OK button and answers its text.
	std::string CloseSummary(const size_t& mark)
	{
		int left = 0, top = 0, width = 0, height = 0;
		EXPECT_TRUE(WaitForAlert(" moved (", &left, &top, &width, &height, mark)) << Output();
		std::string text;
		for (size_t i = mark; i < fProbe.Lines().size(); i++) {
			if (fProbe.Lines()[i].find("alert-shown") != std::string::npos)
				text = fProbe.Lines()[i];
		}
		ClickAt(left, top, width - 40, height - 20);
		return text;
	}

	std::string fFolder;
};

TEST_F(DeinstallerTest, NoneThenOneRowMovesOnlyThatEntry)
{
	LaunchDeinstaller(InstallHello());
	int left = 0, top = 0;
	SearchAndShowResults(&left, &top);
	EXPECT_TRUE(fProbe.WaitFor({"deinstaller-search", "ended", "4"}, 5s)) << Output();
	ClickAt(left, top, DeinstallerLayout::kNoneX, DeinstallerLayout::kButtonsY);
	// The rows are in path order: "hello" comes first.
	ClickAt(left, top, DeinstallerLayout::kRowX, DeinstallerLayout::kFirstRowY);
	const size_t mark = fProbe.Mark();
	ClickAt(left, top, DeinstallerLayout::kDeinstallX, DeinstallerLayout::kButtonsY);
	// A summary and no question: the library's folder still holds its files.
	const std::string summary = CloseSummary(mark);
	EXPECT_NE(summary.find("1 entry moved"), std::string::npos) << summary;
	EXPECT_EQ(WaitForEnd(), 0);
	for (size_t i = mark; i < fProbe.Lines().size(); i++)
		EXPECT_EQ(fProbe.Lines()[i].find("already exists"), std::string::npos);
	EXPECT_FALSE(Exists(fFolder + "/hello"));
	EXPECT_EQ(ReadFile(fWorld.Trash() + "/hello"), kFiles.at("files/hello"));
	EXPECT_EQ(Tree(fFolder + "/lib"), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(DeinstallerTest, StopEndsTheSearchWithoutResults)
{
	const std::string deinstaller = InstallHello();
	// Enough folders that the search is likely still running when Stop comes.
	for (int i = 0; i < 2000; i++)
		std::filesystem::create_directories(fWorld.Boot() + "/many/d" + std::to_string(i) + "/e");
	LaunchDeinstaller(deinstaller);
	const size_t mark = fProbe.Mark();
	Click(DeinstallerLayout::kSearchX, DeinstallerLayout::kSearchY);
	ASSERT_TRUE(fProbe.WaitFor({"deinstaller-search", "started"}, 10s, nullptr, mark));
	Click(DeinstallerLayout::kSearchX, DeinstallerLayout::kSearchY);
	e2e::Event outcome;
	auto stoppedOrEnded = [](const std::vector<std::string>& words) {
		return words.size() >= 2 && words[0] == "deinstaller-search" &&
		       (words[1] == "stopped" || words[1] == "ended");
	};
	ASSERT_TRUE(fProbe.WaitUntil(stoppedOrEnded, 20s, &outcome, mark)) << Output();
	// A search that ended before the click cannot be stopped (the click then
	// starts another); one that was stopped shows no results.
	if (outcome.words[1] == "stopped") {
		EXPECT_FALSE(fProbe.WaitUntil(DrawnTitled("Deinstall"), 1s, nullptr, mark)) << Output();
		EXPECT_FALSE(fProbe.WaitFor({"deinstaller-search", "ended"}, 1s, nullptr, mark))
		        << Output();
	}
	EXPECT_TRUE(Exists(fFolder + "/hello"));
}

TEST_F(DeinstallerTest, AnEmptySearchSaysSo)
{
	const std::string deinstaller = InstallHello();
	std::filesystem::remove_all(fFolder + "/lib");
	std::filesystem::remove(fFolder + "/hello");
	LaunchDeinstaller(deinstaller);
	const size_t mark = fProbe.Mark();
	Click(DeinstallerLayout::kSearchX, DeinstallerLayout::kSearchY);
	int left = 0, top = 0, width = 0, height = 0;
	EXPECT_TRUE(WaitForAlert("No files or folders were found to deinstall on this volume.", &left,
	                         &top, &width, &height, mark))
	        << Output();
}

TEST_F(DeinstallerTest, ANamesakeInTheTrashIsAskedOnceWhenTheBoxIsTicked)
{
	const std::string deinstaller = InstallHello();
	for (const char* leaf : {"hello", "lib/a.txt"})
		WriteFile(fWorld.Trash() + "/" + leaf, "namesake");
	LaunchDeinstaller(deinstaller);
	int left = 0, top = 0;
	SearchAndShowResults(&left, &top);
	size_t mark = fProbe.Mark();
	ClickAt(left, top, DeinstallerLayout::kDeinstallX, DeinstallerLayout::kButtonsY);
	int alertLeft = 0, alertTop = 0, width = 0, height = 0;
	ASSERT_TRUE(WaitForAlert("already exists", &alertLeft, &alertTop, &width, &height, mark))
	        << Output();
	Focus("ReplaceAlert");
	ClickAt(alertLeft, alertTop, 55 + 8, height - 64 + 9);
	Key("d");
	const std::string summary = CloseSummary(mark);
	EXPECT_NE(summary.find("2 entries moved"), std::string::npos) << summary;
	EXPECT_EQ(WaitForEnd(), 0);
	size_t asked = 0;
	for (size_t i = mark; i < fProbe.Lines().size(); i++)
		asked += fProbe.Lines()[i].find("already exists") != std::string::npos ? 1 : 0;
	EXPECT_EQ(asked, 1u) << Output();
	// "lib" held only the product's files: it met its namesake whole.
	for (const char* leaf : {"hello", "lib"}) {
		EXPECT_EQ(ReadFile(fWorld.Trash() + "/" + leaf +
		                   (leaf == std::string("lib") ? "/a.txt" : "")),
		          "namesake")
		        << leaf;
		EXPECT_TRUE(Exists(fWorld.Trash() + "/" + std::string(leaf) + " copy")) << leaf;
	}
}

} // namespace
} // namespace e2e
