// Tests of loading the configuration record: the diagnostics, the error box
// and the defaults of absent fields.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "AlertPresenter.h"
#include "AlertResponder.h"
#include "ConfigLoader.h"
#include "ConfigRecord.h"
#include "LibAppResource.h"
#include "PayloadTestSupport.h"

using namespace payload_test;

namespace {

const char* kErrorBox =
        "Error obtaining configuration in installer. The installer was improperly built.";
// What a failed reading prints on the terminal: nothing, the box says it.
const char* kNoDiagnostic = "";

std::string Flattened(const BMessage& message)
{
	std::string bytes;
	EXPECT_EQ(message.Flatten(&bytes), B_OK);
	return bytes;
}

BMessage GoodRecord()
{
	BMessage record(0);
	record.AddString("install_folder_name", "Hello.vanex");
	record.AddString("app_name", "Hello");
	record.AddString("version", "1.0");
	record.AddBool("opt_log", true);
	record.AddString("opt_created_folder", "Hello");
	record.AddInt32("req_ram_amount", 64);
	BMessage amount;
	amount.AddDouble("value", 1048576.0 * 3);
	amount.AddInt32("value_type", 'mb  ');
	record.AddMessage("req_disk_space_amount", &amount);
	BMessage instructions;
	for (const char* name : {"/src/a", "/src/b"}) {
		BMessage file;
		file.AddString("file_name", name);
		instructions.AddMessage("install_file", &file);
	}
	record.AddMessage("install_instructions", &instructions);
	return record;
}

struct Outcome {
	bool loaded;
	std::string errors;
	int32 boxes;
	std::string boxText;
};

class ConfigLoaderTest : public testing::Test {
protected:
	Outcome Load(const std::string& installer, BMessage& config)
	{
		LibAppResource store(installer.c_str(), B_READ_ONLY);
		AlertResponder responder;
		AlertPresenterScope scope(&responder);
		responder.AddAnswer(0);
		testing::internal::CaptureStderr();
		Outcome outcome;
		outcome.loaded = LoadConfiguration(config, store);
		outcome.errors = testing::internal::GetCapturedStderr();
		outcome.boxes = responder.CountRecords();
		if (outcome.boxes > 0)
			outcome.boxText = responder.Records()[0].text;
		return outcome;
	}

	TempFolder fTemp;
};

TEST_F(ConfigLoaderTest, MissingDamagedOrGoodRecord)
{
	struct Case {
		const char* what;
		bool store; // whether 'CSTR' 2002 exists
		std::string bytes;
		bool loaded;
		std::string errors;
	} cases[] = {
	        {"missing", false, "", false, kNoDiagnostic},
	        {"bad bytes", true, "not a flattened message at all", false, kNoDiagnostic},
	        {"empty", true, "", false, kNoDiagnostic},
	        {"truncated", true, Flattened(GoodRecord()).substr(0, 40), false, kNoDiagnostic},
	        {"good", true, Flattened(GoodRecord()), true, ""},
	};
	for (const Case& c : cases) {
		std::string installer = fTemp / (std::string("inst-") + c.what);
		CopyElf(installer);
		{
			BResources resources(installer.c_str(), true);
			resources.AddResource(B_STRING_TYPE, 7, "x", 2, "en:1000");
			if (c.store)
				resources.AddResource(B_STRING_TYPE, 2002, c.bytes.data(), c.bytes.size(),
				                      "VXC:configuration");
		}
		BMessage config('junk');
		config.AddString("stale", "left from before");
		Outcome outcome = Load(installer, config);
		EXPECT_EQ(outcome.loaded, c.loaded) << c.what;
		EXPECT_EQ(outcome.errors, c.errors) << c.what;
		EXPECT_EQ(outcome.boxes, c.loaded ? 0 : 1) << c.what;
		if (!c.loaded) {
			EXPECT_EQ(outcome.boxText, kErrorBox) << c.what;
			EXPECT_TRUE(config.IsEmpty()) << c.what;
			continue;
		}
		EXPECT_FALSE(config.HasString("stale"));
		EXPECT_STREQ(config.FindString("app_name"), "Hello");
		EXPECT_EQ(config.what, 0u);
	}
}

TEST_F(ConfigLoaderTest, UnreadableRecord_SaysSo)
{
	std::string installer = CopyElf(fTemp / "Installer");
	std::string bytes = Flattened(GoodRecord());
	AddRaw(installer, 1, "pad", std::string(4096, 'p'));
	{
		BResources resources(installer.c_str(), true);
		resources.AddResource(B_STRING_TYPE, 2002, bytes.data(), bytes.size(), "VXC:configuration");
	}
	LibAppResource store(installer.c_str(), B_READ_ONLY);
	off_t offset = 0;
	size_t size = 0;
	ASSERT_EQ(store.GetResourceRange(B_STRING_TYPE, 2002, &offset, &size), B_OK);
	// The file loses the record's bytes after its table was read.
	ASSERT_EQ(truncate(installer.c_str(), offset + 1), 0);

	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	BMessage config;
	testing::internal::CaptureStderr();
	EXPECT_FALSE(LoadConfiguration(config, store));
	EXPECT_EQ(testing::internal::GetCapturedStderr(), kNoDiagnostic);
	EXPECT_EQ(responder.CountRecords(), 1);
}

TEST_F(ConfigLoaderTest, ReadingShowsNoBoxAndReportingTellsWhatItFound)
{
	// The window reads on a thread of its own: the box waits for the report.
	struct Case {
		const char* what;
		std::string bytes;
		bool usable;
	} cases[] = {{"bad bytes", "not a flattened message", false},
	             {"good", Flattened(GoodRecord()), true}};
	for (const Case& c : cases) {
		const std::string installer = CopyElf(fTemp / (std::string("split-") + c.what));
		{
			BResources resources(installer.c_str(), true);
			resources.AddResource(B_STRING_TYPE, 2002, c.bytes.data(), c.bytes.size(),
			                      "VXC:configuration");
		}
		LibAppResource store(installer.c_str(), B_READ_ONLY);
		AlertResponder responder;
		AlertPresenterScope scope(&responder);
		responder.AddAnswer(0);
		BMessage config;
		testing::internal::CaptureStderr();
		const ConfigReading reading = ReadConfiguration(config, store);
		EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
		EXPECT_EQ(responder.CountRecords(), 0) << c.what;
		EXPECT_EQ(reading.read, c.usable) << c.what;
		testing::internal::CaptureStderr();
		EXPECT_EQ(ReportConfiguration(config, reading), c.usable) << c.what;
		EXPECT_EQ(testing::internal::GetCapturedStderr(), c.usable ? "" : kNoDiagnostic) << c.what;
		EXPECT_EQ(responder.CountRecords(), c.usable ? 0 : 1) << c.what;
		EXPECT_EQ(config.IsEmpty(), !c.usable) << c.what;
	}
}

TEST(ConfigRecordTest, AbsentFieldsTakeTheirDefaults)
{
	BMessage empty;
	ConfigRecord absent(empty);
	for (const ConfigRecord::Field& field : ConfigRecord::Fields()) {
		BMessage nested('xxxx');
		switch (field.type) {
			case B_STRING_TYPE: EXPECT_EQ(absent.Text(field.name), nullptr) << field.name; break;
			case B_BOOL_TYPE:
				EXPECT_EQ(absent.Flag(field.name),
				          strcmp(field.name, "opt_include_deinstall") == 0 ||
				                  strcmp(field.name, "opt_rollback") == 0)
				        << field.name;
				break;
			case B_INT32_TYPE: EXPECT_EQ(absent.Number(field.name), 0) << field.name; break;
			case B_MESSAGE_TYPE:
				EXPECT_FALSE(absent.Record(field.name, &nested)) << field.name;
				EXPECT_TRUE(nested.IsEmpty()) << field.name;
				break;
			default: ADD_FAILURE() << "unexpected type of " << field.name;
		}
	}
	EXPECT_EQ(absent.DiskSpaceAmount(), 0);
	EXPECT_EQ(absent.CountInstallFiles(), 0);
	EXPECT_EQ(ConfigRecord::Fields().size(), 46u);
}

// Each named accessor reads its own field: a value set under every other
// field's name must not reach it, and absent it gives its default.
TEST(ConfigRecordTest, NamedAccessorsReadTheirOwnField)
{
	struct Case {
		const char* field;
		std::function<std::string(const ConfigRecord&)> read;
		std::string absent;
	};
	auto text = [](const char* (ConfigRecord::*get)() const) {
		return [get](const ConfigRecord& r) { return std::string((r.*get)()); };
	};
	auto flag = [](bool (ConfigRecord::*get)() const) {
		return [get](const ConfigRecord& r) { return std::string((r.*get)() ? "1" : "0"); };
	};
	const std::vector<Case> texts = {
	        {"app_name", text(&ConfigRecord::AppName), ""},
	        {"version", text(&ConfigRecord::Version), ""},
	        {"release_date", text(&ConfigRecord::ReleaseDate), ""},
	        {"company", text(&ConfigRecord::Company), ""},
	        {"support_email", text(&ConfigRecord::SupportEmail), ""},
	        {"opt_created_folder", text(&ConfigRecord::CreatedFolder), ""},
	        {"complete_comments", text(&ConfigRecord::CompleteComments), ""},
	};
	const std::vector<Case> flags = {
	        {"opt_log", flag(&ConfigRecord::LogWanted), "0"},
	        {"opt_save_replaced", flag(&ConfigRecord::SaveReplaced), "0"},
	        {"opt_rollback", flag(&ConfigRecord::Rollback), "1"},
	        {"opt_create_startup", flag(&ConfigRecord::CreateStartup), "0"},
	        {"complete_restart", flag(&ConfigRecord::CompleteRestart), "0"},
	        {"complete_display_folder", flag(&ConfigRecord::CompleteDisplayFolder), "0"},
	        {"req_disk_space_needed", flag(&ConfigRecord::DiskSpaceNeeded), "0"},
	        {"req_disk_space_required", flag(&ConfigRecord::DiskSpaceRequired), "0"},
	        {"req_ram_needed", flag(&ConfigRecord::RamNeeded), "0"},
	        {"req_ram_required", flag(&ConfigRecord::RamRequired), "0"},
	        {"req_boot_vol_only", flag(&ConfigRecord::BootVolumeOnly), "0"},
	        {"req_removable_vol_ok", flag(&ConfigRecord::RemovableVolumeOk), "0"},
	        {"req_shared_vol_ok", flag(&ConfigRecord::SharedVolumeOk), "0"},
	};
	for (const Case& c : texts) {
		BMessage others;
		for (const Case& other : texts) {
			if (other.field != c.field)
				others.AddString(other.field, "other");
		}
		EXPECT_EQ(c.read(ConfigRecord(others)), c.absent) << c.field;
		others.AddString(c.field, "mine");
		EXPECT_EQ(c.read(ConfigRecord(others)), "mine") << c.field;
	}
	for (const Case& c : flags) {
		const bool set = c.absent == "0";
		BMessage others;
		for (const Case& other : flags) {
			if (other.field != c.field)
				others.AddBool(other.field, set);
		}
		EXPECT_EQ(c.read(ConfigRecord(others)), c.absent) << c.field;
		others.AddBool(c.field, set);
		EXPECT_EQ(c.read(ConfigRecord(others)), set ? "1" : "0") << c.field;
	}
}

TEST(ConfigRecordTest, ScriptSectionsAndNeedsAreReadWhole)
{
	BMessage record;
	record.AddBool("edit_profile", true);
	record.AddString("edit_profile_tag", "#HELLO");
	record.AddString("edit_profile_contents", "export A=1");
	record.AddString("edit_bootscript_tag", "#BOOT");
	BMessage libraries;
	libraries.AddBool("req_shared_librry_req", true);
	libraries.AddString("req_shared_library_name", "libz.so");
	libraries.AddString("req_shared_library_name", "libm.so");
	record.AddMessage("req_shared_library", &libraries);
	const ConfigRecord config(record);

	const ConfigRecord::ScriptSection profile = config.Profile();
	EXPECT_TRUE(profile.edit);
	EXPECT_STREQ(profile.tag, "#HELLO");
	EXPECT_STREQ(profile.contents, "export A=1");
	const ConfigRecord::ScriptSection boot = config.BootScript();
	EXPECT_FALSE(boot.edit);
	EXPECT_STREQ(boot.tag, "#BOOT");
	EXPECT_STREQ(boot.contents, "");
	EXPECT_FALSE(config.SetupEnvironment().edit);

	bool required = false;
	EXPECT_EQ(config.SharedLibraries(required), (std::vector<std::string>{"libz.so", "libm.so"}));
	EXPECT_TRUE(required);
	EXPECT_TRUE(config.Applications(required).empty());
	EXPECT_FALSE(required);
}

TEST(ConfigRecordTest, PresentFieldsAreRead)
{
	BMessage record = GoodRecord();
	ConfigRecord config(record);
	EXPECT_STREQ(config.Text("app_name"), "Hello");
	EXPECT_TRUE(config.Flag("opt_log"));
	EXPECT_EQ(config.Number("req_ram_amount"), 64);
	EXPECT_EQ(config.DiskSpaceAmount(), 3145728.0);
	EXPECT_EQ(config.CountInstallFiles(), 2);
	struct Case {
		bool present;
		bool value;
		bool include;
	} cases[] = {{false, false, true}, {true, false, false}, {true, true, true}};
	for (const Case& c : cases) {
		BMessage message;
		if (c.present)
			message.AddBool("opt_include_deinstall", c.value);
		EXPECT_EQ(ConfigRecord(message).IncludeDeinstall(), c.include);
		EXPECT_EQ(ConfigRecord(message).Flag("opt_include_deinstall"), c.include);
	}
}

} // namespace
