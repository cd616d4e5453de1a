// Tests of localization: string lookup in an executable's resources and the
// language remembered on its file (attribute, or settings file without attributes).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "Application.h"
#include "Node.h"
#include "Resources.h"
#include "ScopedEnv.h"
#include "StringTable.h"
#include "TypeConstants.h"
#include "oLocalize.h"
#include "oResources.h"

namespace {

std::string MakeTempFolder()
{
	std::string pattern = testing::TempDir() + "/vantry_l10n_XXXXXX";
	EXPECT_NE(mkdtemp(pattern.data()), nullptr);
	return pattern;
}

// Writes the installer tables of every language as the authoring tool does:
// 'CSTR' resources named "<code>:<id>", text plus one NUL, arbitrary ids.
void WriteInstallerStrings(const std::string& path)
{
	BResources resources;
	ASSERT_EQ(resources.SetTo(path.c_str(), true, true), B_OK) << resources.ErrorText();
	int32 resourceId = 1;
	for (int32 row = 0; row < LOCALIZE_LANGUAGE_COUNT; row++) {
		const std::string code = oLocalize::LanguageCode(row);
		const std::string table =
		        std::string(VANTRY_SOURCE_DIR) + "/data/strings/installer/" + code + ".txt";
		StringTable strings(table.c_str(), 1000, 1203);
		ASSERT_EQ(strings.InitCheck(), B_OK) << strings.ErrorText();
		for (const auto& [id, text] : strings.Strings()) {
			const std::string name = code + ":" + std::to_string(id);
			ASSERT_EQ(resources.AddResource(B_STRING_TYPE, resourceId++, text.c_str(),
			                                text.size() + 1, name.c_str()),
			          B_OK);
		}
	}
	ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
}

// The raw value of the "language" attribute, or "<none>".
std::string LanguageAttribute(const std::string& path)
{
	BNode node(path.c_str());
	attr_info info;
	if (node.GetAttrInfo("language", &info) != B_OK)
		return "<none>";
	EXPECT_EQ(info.type, (uint32)B_STRING_TYPE);
	std::string value(info.size, '\0');
	EXPECT_EQ(node.ReadAttr("language", B_STRING_TYPE, 0, value.data(), value.size()),
	          (ssize_t)value.size());
	return value;
}

void SetLanguageAttribute(const std::string& path, const std::string& value)
{
	BNode node(path.c_str());
	ASSERT_EQ(node.WriteAttr("language", B_STRING_TYPE, 0, value.data(), value.size()),
	          (ssize_t)value.size());
}

std::string GermanText(const int32& id)
{
	const std::string table = std::string(VANTRY_SOURCE_DIR) + "/data/strings/installer/de.txt";
	StringTable strings(table.c_str(), 1000, 1203);
	const char* text = strings.StringFor(id);
	return text != nullptr ? text : "";
}

class oLocalizeTest : public testing::Test {
protected:
	void SetUp() override
	{
		fFolder = MakeTempFolder();
		fInstaller = fFolder + "/Installer";
		WriteInstallerStrings(fInstaller);
	}
	void TearDown() override { std::filesystem::remove_all(fFolder); }

	std::string fFolder;
	std::string fInstaller;
	// The user's locale stays out of the tests that do not set one.
	ScopedEnv fAll{"LC_ALL", nullptr};
	ScopedEnv fMessages{"LC_MESSAGES", nullptr};
	ScopedEnv fLang{"LANG", nullptr};
};

} // namespace

TEST_F(oLocalizeTest, FirstStartSpeaksEnglishAndCreatesTheAttribute)
{
	ASSERT_EQ(LanguageAttribute(fInstaller), "<none>");
	oLocalize localize(fInstaller.c_str());
	EXPECT_STREQ(localize.GetString(1001).String(), "License");
	EXPECT_EQ(LanguageAttribute(fInstaller), "en");
	EXPECT_STREQ(localize.Language(), "en");
}

TEST_F(oLocalizeTest, WithoutARememberedLanguageTheLocaleChoosesOne)
{
	struct Case {
		const char* all;
		const char* messages;
		const char* lang;
		const char* language; // then spoken
		const char* attribute;
	};
	const Case cases[] = {
	        {nullptr, nullptr, "fr_FR.UTF-8", "fr", "<none>"},
	        {nullptr, "de_DE", "fr_FR.UTF-8", "de", "<none>"},
	        {"sv_SE.UTF-8", "de_DE", "fr_FR", "sv", "<none>"},
	        // A locale outside the nine gives way to the next variable.
	        {"pt_BR.UTF-8", nullptr, "nl_NL@euro", "nl", "<none>"},
	        {nullptr, nullptr, "nb_NO.UTF-8", "no", "<none>"},
	        {"C", nullptr, "POSIX", "en", "en"},
	        {nullptr, nullptr, nullptr, "en", "en"},
	};
	for (const Case& c : cases) {
		ScopedEnv all("LC_ALL", c.all);
		ScopedEnv messages("LC_MESSAGES", c.messages);
		ScopedEnv lang("LANG", c.lang);
		removexattr(fInstaller.c_str(), "user.language");
		oLocalize localize(fInstaller.c_str());
		EXPECT_STREQ(localize.Language(), c.language) << (c.lang != nullptr ? c.lang : "-");
		EXPECT_EQ(LanguageAttribute(fInstaller), c.attribute) << "a guess is not remembered";
	}
	ScopedEnv lang("LANG", "fr_FR.UTF-8");
	SetLanguageAttribute(fInstaller, "it");
	EXPECT_STREQ(oLocalize(fInstaller.c_str()).Language(), "it") << "a remembered choice wins";
}

TEST_F(oLocalizeTest, ChoosingRowThreeGivesGermanWithoutString1002)
{
	{
		oLocalize localize(fInstaller.c_str());
		localize.SetLanguage(oLocalize::LanguageCode(3));
		EXPECT_STREQ(localize.GetString(1003).String(), GermanText(1003).c_str());
	}
	EXPECT_EQ(LanguageAttribute(fInstaller), "de");
	oLocalize later(fInstaller.c_str());
	EXPECT_STREQ(later.Language(), "de");
	EXPECT_STREQ(later.GetString(1002).String(), "");
	EXPECT_STREQ(later.GetString(1003).String(), "Gruppe");
	EXPECT_FALSE(later.HasString("de:1002"));
	EXPECT_TRUE(later.HasString("en:1002"));
}

TEST_F(oLocalizeTest, StoredValueIsCutAtItsFirst62BytesOrItsNul)
{
	struct Case {
		std::string stored;
		std::string language;
	};
	const std::string longValue = std::string(62, 'a') + "bcdefgh";
	const Case cases[] = {
	        {longValue, std::string(62, 'a')},
	        {std::string("fr\0xyz", 6), "fr"},
	        {"nl", "nl"},
	        {"", ""},
	};
	for (const Case& c : cases) {
		SetLanguageAttribute(fInstaller, c.stored);
		oLocalize localize(fInstaller.c_str());
		EXPECT_EQ(std::string(localize.Language()), c.language) << c.stored;
		// Reading never shortens the stored value.
		EXPECT_EQ(LanguageAttribute(fInstaller), c.stored);
	}
	// A code of 62 bytes gives resource names too long to exist.
	SetLanguageAttribute(fInstaller, longValue);
	oLocalize localize(fInstaller.c_str());
	EXPECT_STREQ(localize.GetString(1001).String(), "");
}

TEST_F(oLocalizeTest, UnknownLanguageFindsNothingUntilOneIsChosen)
{
	SetLanguageAttribute(fInstaller, "xx");
	oLocalize localize(fInstaller.c_str());
	EXPECT_STREQ(localize.GetString(1001).String(), "");
	EXPECT_EQ(oLocalize::LanguageRow(localize.Language()), -1);
	localize.SetLanguage(oLocalize::LanguageCode(8));
	EXPECT_STREQ(localize.GetString(1004).String(), "Bestanden");
}

TEST_F(oLocalizeTest, ExistingInstancesKeepTheirLanguage)
{
	oLocalize first(fInstaller.c_str());
	oLocalize second(fInstaller.c_str());
	second.SetLanguage("fr");
	EXPECT_STREQ(first.GetString(1015).String(), "Cancel");
	EXPECT_STREQ(second.GetString(1015).String(), "Annuler");
	oLocalize third(fInstaller.c_str());
	EXPECT_STREQ(third.GetString(1015).String(), "Annuler");
}

TEST_F(oLocalizeTest, LanguageRowsFollowTheMenuOrder)
{
	const char* const codes[] = {"en", "fr", "es", "de", "it", "no", "sv", "da", "nl"};
	for (int32 row = 0; row < LOCALIZE_LANGUAGE_COUNT; row++) {
		EXPECT_STREQ(oLocalize::LanguageCode(row), codes[row]);
		EXPECT_EQ(oLocalize::LanguageRow(codes[row]), row);
	}
	EXPECT_STREQ(oLocalize::LanguageCode(-1), "en");
	EXPECT_STREQ(oLocalize::LanguageCode(9), "en");
	EXPECT_EQ(oLocalize::LanguageRow("EN"), -1);
	EXPECT_EQ(oLocalize::LanguageRow(nullptr), -1);
}

TEST_F(oLocalizeTest, WithoutAttributesTheLanguageLivesBesideTheFile)
{
	const std::string root = fFolder + "/root";
	const std::string volume = fFolder + "/fat";
	ASSERT_TRUE(std::filesystem::create_directories(root));
	ASSERT_TRUE(std::filesystem::create_directories(volume));
	ScopedEnv simulatedRoot("VANTRY_ROOT", root);
	ScopedEnv volumes("VANTRY_VOLUMES", volume + ":nonnative");
	const std::string installer = volume + "/Installer";
	std::filesystem::copy_file(fInstaller, installer);
	const std::string settings = installer + ".language";

	{
		oLocalize localize(installer.c_str());
		EXPECT_STREQ(localize.GetString(1001).String(), "License");
		localize.SetLanguage("sv");
	}
	std::ifstream file(settings, std::ios::binary);
	const std::string stored((std::istreambuf_iterator<char>(file)), {});
	EXPECT_EQ(stored, "sv");
	oLocalize later(installer.c_str());
	EXPECT_STREQ(later.Language(), "sv");
	EXPECT_STREQ(later.GetString(1016).String(), "Ersätt");

	// The engine copies the language to the deinstaller it creates.
	const std::string deinstaller = volume + "/Product 1.0 Deinstaller";
	std::ofstream(deinstaller) << "x";
	ASSERT_EQ(oLocalize::WriteLanguage(deinstaller.c_str(), later.Language()), B_OK);
	LibString copied;
	ASSERT_EQ(oLocalize::ReadLanguage(deinstaller.c_str(), copied), B_OK);
	EXPECT_STREQ(copied.String(), "sv");
}

TEST_F(oLocalizeTest, UnwritableFileKeepsTheOldLanguage)
{
	if (geteuid() == 0)
		GTEST_SKIP() << "root may write attributes of read-only files";
	SetLanguageAttribute(fInstaller, "it");
	ASSERT_EQ(chmod(fInstaller.c_str(), 0444), 0);
	{
		oLocalize localize(fInstaller.c_str());
		localize.SetLanguage("da");
		EXPECT_STREQ(localize.Language(), "da");
	}
	oLocalize later(fInstaller.c_str());
	EXPECT_STREQ(later.Language(), "it");
}

TEST_F(oLocalizeTest, StringsAreFoundByTypeAndNameOnly)
{
	{
		BResources resources(fInstaller.c_str(), true);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		// No NUL at the end, and a resource of another type with a string's name.
		ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 9001, "abc", 3, "en:9001"), B_OK);
		ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 9002, "raw", 4, "en:9002"), B_OK);
	}
	oResources store(fInstaller.c_str(), B_READ_ONLY);
	EXPECT_STREQ(store.GetString("en:9001").String(), "abc");
	EXPECT_FALSE(store.HasString("en:9002"));
	EXPECT_STREQ(store.GetString("en:9002").String(), "");
	EXPECT_STREQ(store.GetString(nullptr).String(), "");
	EXPECT_STREQ(store.ExecutablePath(), fInstaller.c_str());
}

TEST_F(oLocalizeTest, WithoutApplicationInformationNothingIsFound)
{
	ASSERT_EQ(be_app, nullptr);
	oLocalize localize;
	EXPECT_EQ(localize.ExecutablePath(), nullptr);
	EXPECT_STREQ(localize.Language(), "");
	EXPECT_STREQ(localize.GetString(1001).String(), "");
	EXPECT_FALSE(localize.HasString("en:1001"));
	oResources missing((fFolder + "/absent").c_str(), B_READ_ONLY);
	EXPECT_EQ(missing.ExecutablePath(), nullptr);
}

TEST_F(oLocalizeTest, AttachesToTheRunningExecutable)
{
	BApplication application("application/x-vnd.Vantry-l10n-test");
	ASSERT_EQ(application.InitCheck(), B_OK);
	oResources store(B_READ_ONLY);
	const std::string running = std::filesystem::read_symlink("/proc/self/exe").string();
	ASSERT_NE(store.ExecutablePath(), nullptr);
	EXPECT_EQ(std::string(store.ExecutablePath()), running);
}
