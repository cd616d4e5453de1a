// Every requirement outcome of an unattended installation: disk space,
// memory, libraries along LIBRARY_PATH and applications by signature, each
// required or suggested, with its box or question and its exit code.
#include "AppFileInfo.h"
#include "File.h"
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

const char* const kLibrariesRequired = R"(
[req_shared_library]
req_shared_library_name = ["libvantry-first.so"]
req_shared_librry_req = true
)";
const char* const kLibrariesSuggested = R"(
[req_shared_library]
req_shared_library_name = ["libvantry-first.so", "libvantry-second.so"]
req_shared_librry_req = false
)";

struct RequirementCase {
	const char* name;
	std::string requirements; // description lines: top-level keys, then tables
	bool libraryPresent;
	bool applicationPresent;
	const char* answers;
	bool yes;
	int exitCode;
	std::vector<std::string> errors;   // "error:" lines, checked as prefixes
	std::vector<std::string> buttons;  // the buttons of each requirement question
	std::vector<std::string> messages; // "message:" lines, checked as prefixes
};

// Test names show the case, not its bytes.
void PrintTo(const RequirementCase& test, std::ostream* stream)
{
	*stream << test.name;
}

std::string Apps(const bool& required)
{
	return std::string("\n[req_apps]\nreq_app_name = [\"Probe (application/x-vnd.Vantry-Probe)\"]\n"
	                   "req_app_req = ") +
	       (required ? "true" : "false") + "\n";
}

class UnattendedRequirementTest : public testing::TestWithParam<RequirementCase> {};

TEST_P(UnattendedRequirementTest, EndsOrGoesOnAsTheProductNeeds)
{
	const RequirementCase& test = GetParam();
	InstallWorld world;
	const std::string installer =
	        world.Build("need",
	                    ProductHead("Need") + test.requirements +
	                            "\n[[install_file]]\nfile_name = \"files/need.txt\"\n",
	                    {{"files/need.txt", "needed"}});
	if (test.libraryPresent) {
		WriteFile(world.Temp() + "/lib/libvantry-first.so", "library");
		world.SetEnv("LIBRARY_PATH", "/nonexistent:" + world.Temp() + "/lib");
	}
	if (test.applicationPresent) {
		const std::string probe = world.Temp() + "/bin/nested/probe";
		fs::create_directories(world.Temp() + "/bin/nested");
		fs::copy_file("/bin/true", probe);
		BFile file(probe.c_str(), B_READ_WRITE);
		BAppFileInfo info(&file);
		info.SetInfoLocation(B_USE_ATTRIBUTES);
		ASSERT_EQ(info.SetSignature("application/x-vnd.Vantry-Probe"), B_OK);
		world.SetEnv("PATH", world.Temp() + "/bin/nested:" + getenv("PATH"));
	}

	std::vector<std::string> arguments = {"--dest", world.Apps(), "--items", "need.txt"};
	if (test.yes)
		arguments.push_back("--yes");
	const RunResult run = world.Install(installer, arguments, OptionalText(test.answers));
	ASSERT_EQ(run.code, test.exitCode) << run.output << run.errors;

	const std::vector<std::string> errors = Labelled(run.output, "error");
	ASSERT_EQ(errors.size(), test.errors.size()) << run.output;
	for (size_t i = 0; i < errors.size(); i++)
		EXPECT_EQ(errors[i].rfind(test.errors[i], 0), 0u) << errors[i];
	const std::vector<std::string> messages = Labelled(run.output, "message");
	ASSERT_EQ(messages.size(), test.messages.size()) << run.output;
	for (size_t i = 0; i < messages.size(); i++)
		EXPECT_EQ(messages[i].rfind(test.messages[i], 0), 0u) << messages[i];

	std::vector<std::string> buttons;
	for (const std::string& line : Lines(run.output)) {
		if (line.rfind("  buttons: ", 0) == 0)
			buttons.push_back(line.substr(11));
	}
	EXPECT_EQ(buttons, test.buttons) << run.output;
	EXPECT_EQ(Labelled(run.output, "requirement").size(), test.buttons.size());
	EXPECT_EQ(Exists(world.Apps() + "/Need/need.txt"), test.exitCode == 0)
	        << "a run that ends at the checks touches no folder";
	EXPECT_EQ(Labelled(run.output, "status")[0], "Checking System Resources...");
}

const std::string kComplete = "Installation successfully completed.";

const std::vector<RequirementCase> kCases = {
        {"DiskRequiredMissing",
         "req_disk_space_needed = true\nreq_disk_space_required = true\n"
         "req_disk_space_amount = \"100000 GB\"\n",
         false,
         false,
         nullptr,
         true,
         3,
         {"Installation requires 102400000.0 MB of disk space, "
          "and the destination volume 'boot' only has "},
         {},
         {}},
        {"DiskSuggestedMissingStillChecksLibraries",
         std::string("req_disk_space_needed = true\nreq_disk_space_amount = \"100000 GB\"\n") +
                 kLibrariesRequired,
         false,
         false,
         nullptr,
         true,
         4,
         {"Installation suggests 102400000.0 MB of disk space"},
         {"Abort"},
         {}},
        {"RamRequiredMissingEnds",
         "req_ram_needed = true\nreq_ram_required = true\nreq_ram_amount = 100000000\n",
         false,
         false,
         nullptr,
         true,
         4,
         {"Installation requires 100000000 MB of physical RAM, and only "},
         {},
         {}},
        {"RamSuggestedMissingStillChecksLibraries",
         std::string("req_ram_needed = true\nreq_ram_amount = 100000000\n") + kLibrariesRequired,
         false,
         false,
         nullptr,
         true,
         4,
         {"Installation suggests 100000000 MB of physical RAM"},
         {"Abort"},
         {}},
        {"LibraryRequiredMissingOnlyAborts",
         kLibrariesRequired,
         false,
         false,
         "requirement continue\n",
         false,
         4,
         {},
         {"Abort"},
         {}},
        {"LibrariesSuggestedMissingAskEach",
         kLibrariesSuggested,
         false,
         false,
         "requirement continue\nrequirement continue\n",
         false,
         0,
         {},
         {"Abort | Continue", "Abort | Continue"},
         {kComplete}},
        {"LibrarySuggestedAborted",
         kLibrariesSuggested,
         false,
         false,
         "requirement abort\n",
         false,
         4,
         {},
         {"Abort | Continue"},
         {}},
        {"AnswerMatchedToItsQuestion",
         kLibrariesSuggested,
         false,
         false,
         "requirement abort \"libvantry-second.so\"\nrequirement continue \"libvantry-first.so\"\n",
         false,
         4,
         {},
         {"Abort | Continue", "Abort | Continue"},
         {}},
        {"LibraryFoundAlongLibraryPath",
         kLibrariesRequired,
         true,
         false,
         nullptr,
         false,
         0,
         {},
         {},
         {kComplete}},
        {"ApplicationRequiredMissing",
         Apps(true),
         false,
         false,
         nullptr,
         true,
         4,
         {},
         {"Abort"},
         {}},
        {"ApplicationFoundBySignature",
         Apps(true),
         false,
         true,
         nullptr,
         false,
         0,
         {},
         {},
         {kComplete}},
        {"ApplicationSuggestedUnanswered",
         Apps(false),
         false,
         false,
         nullptr,
         false,
         6,
         {"Installation was stopped before it could complete."},
         {"Abort | Continue"},
         {}},
};

INSTANTIATE_TEST_SUITE_P(Checks, UnattendedRequirementTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<RequirementCase>& info) {
	                         return info.param.name;
                         });

} // namespace
