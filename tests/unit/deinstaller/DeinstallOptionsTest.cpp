// The deinstaller's command line: each option, its value, and the mistakes.
#include <gtest/gtest.h>

#include "DeinstallOptions.h"

namespace {

// The options that were set, in one line: "unattended list volume=Data".
std::string Summary(const DeinstallOptions& options)
{
	std::string text;
	auto add = [&](const bool& set, const std::string& word) {
		if (set)
			text += (text.empty() ? "" : " ") + word;
	};
	add(options.unattended, "unattended");
	add(options.list, "list");
	add(options.yes, "yes");
	add(options.allOwners, "all-owners");
	add(options.json, "json");
	add(!options.volume.empty(), "volume=" + options.volume);
	add(!options.destination.empty(), "to=" + options.destination);
	add(!options.answers.empty(), "answers=" + options.answers);
	return text;
}

} // namespace

TEST(DeinstallOptionsTest, ReadsEachOptionAndRefusesMistakes)
{
	struct Case {
		std::vector<const char*> arguments;
		const char* error; // empty when the arguments are fine
		const char* summary;
	} cases[] = {
	        {{"--unattended"}, "", "unattended"},
	        {{"--unattended", "--list", "--volume", "Data"}, "", "unattended list volume=Data"},
	        {{"--unattended", "--to=/tmp/x", "--yes"}, "", "unattended yes to=/tmp/x"},
	        {{"--unattended", "--all-owners", "--answers", "a.txt"},
	         "",
	         "unattended all-owners answers=a.txt"},
	        {{"--unattended", "--answers"}, "--answers needs a value", ""},
	        {{"--unattended", "--yes=1"}, "--yes takes no value", ""},
	        {{"--unattended", "--all-owners=1"}, "--all-owners takes no value", ""},
	        {{"--unattended", "--dest", "x"}, "unknown argument '--dest'", ""},
	        {{"--list"}, "these options need --unattended", ""},
	        {{"--all-owners"}, "these options need --unattended", ""},
	        {{"--unattended", "--list", "--json"}, "", "unattended list json"},
	        {{"--json"}, "these options need --unattended", ""},
	        {{"--unattended", "--json=yes"}, "--json takes no value", ""},
	        {{}, "", ""},
	};
	for (const Case& test : cases) {
		std::vector<const char*> argv = {"Deinstaller"};
		argv.insert(argv.end(), test.arguments.begin(), test.arguments.end());
		DeinstallOptions options;
		std::string error;
		const bool ok = ParseDeinstallOptions(int(argv.size()), argv.data(), options, error);
		const std::string name = test.arguments.empty() ? "(none)" : test.arguments.back();
		EXPECT_EQ(ok, test.error[0] == '\0') << name;
		EXPECT_EQ(error, test.error) << name;
		if (ok) {
			EXPECT_EQ(Summary(options), test.summary) << name;
		}
	}
}

TEST(DeinstallOptionsTest, TheUsageNamesEveryOptionAndExitCode)
{
	const std::string usage = DeinstallUsage();
	for (const char* option : {"--unattended", "--volume", "--to", "--list", "--json", "--answers",
	                           "--yes", "--all-owners"})
		EXPECT_NE(usage.find(std::string(option) + " "), std::string::npos) << option;
	for (int code = DEINSTALL_COMPLETED; code <= DEINSTALL_LEFT_IN_PLACE; code++)
		EXPECT_NE(usage.find(std::to_string(code) + " "), std::string::npos) << code;
}
