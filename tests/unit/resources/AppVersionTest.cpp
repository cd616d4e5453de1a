// Tests of an executable's version text, supported types and signature.
#include <gtest/gtest.h>

#include <string>

#include "AppFileInfo.h"
#include "Entry.h"
#include "File.h"
#include "LibAppVersion.h"
#include "Mime.h"
#include "NodeInfo.h"
#include "PayloadTestSupport.h"

using namespace payload_test;

namespace {

TEST(AppVersionTest, VersionText_NumbersVarietyAndInternal)
{
	TempFolder temp;
	std::string app = CopyElf(temp / "app");
	EXPECT_STREQ(LibGetAppVersion(app.c_str()).String(), "");
	struct Case {
		unsigned long major, middle, minor, variety, internal;
		const char* text;
	} cases[] = {
	        {1, 3, 0, 5, 0, "1.3.0"},         {2, 0, 1, 2, 7, "2.0.1 Beta 7"},
	        {0, 8, 0, 1, 2, "0.8.0 Alpha 2"}, {3, 1, 4, 0, 0, "3.1.4 Dev"},
	        {1, 0, 0, 3, 1, "1.0.0 Gamma 1"}, {10, 20, 30, 4, 0, "10.20.30 Gold"},
	        {1, 2, 3, 9, 4, "1.2.3 4"},
	};
	for (const Case& c : cases) {
		ASSERT_TRUE(LibSetAppVersion(app.c_str(), c.major, c.middle, c.minor, "short", nullptr,
		                             c.variety, c.internal))
		        << c.text;
		EXPECT_STREQ(LibGetAppVersion(app.c_str()).String(), c.text);
	}
	BFile file(app.c_str(), B_READ_ONLY);
	BAppFileInfo info(&file);
	version_info version = {};
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_STREQ(version.short_info, "short");
	EXPECT_STREQ(version.long_info, "");
}

TEST(AppVersionTest, RunningExecutable_IsNotWrittenAndNothingReported)
{
	std::string before = LibGetAppVersion(nullptr).String();
	EXPECT_FALSE(LibSetAppVersion(9, 9, 9, "x", "y", 5, 0));
	EXPECT_EQ(LibGetAppVersion(nullptr).String(), before);
	LibStringList types;
	types.Add("text/x-vanex");
	EXPECT_FALSE(LibSetAppSupportedTypes(types));
	EXPECT_EQ(types.Size(), 1);
}

TEST(AppVersionTest, SupportedTypes_ReplacedInOrderAndAppended)
{
	TempFolder temp;
	std::string app = CopyElf(temp / "app");
	LibStringList out;
	out.Add("kept/first");
	EXPECT_EQ(LibGetAppSupportedTypes(app.c_str(), out), 0);
	EXPECT_EQ(out.Size(), 1);

	LibStringList in;
	in.Add("text/x-vanex");
	in.Add("application/zip");
	ASSERT_TRUE(LibSetAppSupportedTypes(app.c_str(), in));
	EXPECT_EQ(LibGetAppSupportedTypes(app.c_str(), out), 3);
	std::vector<std::string> got;
	for (LibString* type = out.First(); type != nullptr; type = out.Next())
		got.push_back(type->String());
	EXPECT_EQ(got, (std::vector<std::string>{"kept/first", "text/x-vanex", "application/zip"}));
}

TEST(AppVersionTest, Signature_OnlyOfExecutables)
{
	TempFolder temp;
	std::string app = CopyElf(temp / "app");
	{
		BFile file(app.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		ASSERT_EQ(info.SetSignature("application/x-vnd.Vantry-Test"), B_OK);
		info.Sync();
	}
	struct Case {
		const char* type;
		const char* signature;
	} cases[] = {
	        {B_ELF_APP_MIME_TYPE, "application/x-vnd.Vantry-Test"},
	        {"text/plain", ""},
	        {"application/x-vnd.Be-elfexecutable-not", ""},
	};
	for (const Case& c : cases) {
		BNode node(app.c_str());
		BNodeInfo(&node).SetType(c.type);
		BEntry entry(app.c_str());
		entry_ref ref;
		ASSERT_EQ(entry.GetRef(&ref), B_OK);
		char out[B_MIME_TYPE_LENGTH] = "garbage";
		LibGetAppSignature(ref, out);
		EXPECT_STREQ(out, c.signature) << c.type;
	}
}

} // namespace
