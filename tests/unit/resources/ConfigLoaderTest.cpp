// Tests of loading the configuration record: the diagnostics, the error box
// and the defaults of absent fields.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

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
const char* kQuit = "QUIT.................. add code...\n";

class ScopedPresenter {
public:
	explicit ScopedPresenter(AlertPresenter* presenter) : fPrevious(AlertPresenter::Set(presenter))
	{
	}
	~ScopedPresenter() { AlertPresenter::Set(fPrevious); }

private:
	AlertPresenter* fPrevious;
};

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
		ScopedPresenter scope(&responder);
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
	        {"missing", false, "", false, std::string("Does not have resource 2002\n") + kQuit},
	        {"bad bytes", true, "not a flattened message at all", false, kQuit},
	        {"empty", true, "", false, kQuit},
	        {"truncated", true, Flattened(GoodRecord()).substr(0, 40), false, kQuit},
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
	ScopedPresenter scope(&responder);
	BMessage config;
	testing::internal::CaptureStderr();
	EXPECT_FALSE(LoadConfiguration(config, store));
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
	          std::string("Unable to read resource 2002\n") + kQuit);
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
		ScopedPresenter scope(&responder);
		responder.AddAnswer(0);
		BMessage config;
		testing::internal::CaptureStderr();
		const ConfigReading reading = ReadConfiguration(config, store);
		EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
		EXPECT_EQ(responder.CountRecords(), 0) << c.what;
		EXPECT_EQ(reading.read, c.usable) << c.what;
		testing::internal::CaptureStderr();
		EXPECT_EQ(ReportConfiguration(config, reading), c.usable) << c.what;
		EXPECT_EQ(testing::internal::GetCapturedStderr(), c.usable ? "" : kQuit) << c.what;
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
				EXPECT_EQ(absent.Flag(field.name), strcmp(field.name, "opt_include_deinstall") == 0)
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
