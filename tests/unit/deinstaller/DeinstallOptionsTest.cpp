// The deinstaller's command line: each option, its value, and the mistakes.
#include <gtest/gtest.h>

#include "DeinstallOptions.h"

TEST(DeinstallOptionsTest, ReadsEachOptionAndRefusesMistakes)
{
	struct Case {
		std::vector<const char*> arguments;
		bool ok;
		const char* error;
		bool list;
		bool yes;
		const char* volume;
		const char* destination;
	} cases[] = {
	        {{"--unattended"}, true, "", false, false, "", ""},
	        {{"--unattended", "--list", "--volume", "Data"}, true, "", true, false, "Data", ""},
	        {{"--unattended", "--to=/tmp/x", "--yes"}, true, "", false, true, "", "/tmp/x"},
	        {{"--unattended", "--answers"}, false, "--answers needs a value", false, false, "", ""},
	        {{"--unattended", "--yes=1"}, false, "--yes takes no value", false, false, "", ""},
	        {{"--unattended", "--dest", "x"},
	         false,
	         "unknown argument '--dest'",
	         false,
	         false,
	         "",
	         ""},
	        {{"--list"}, false, "these options need --unattended", false, false, "", ""},
	        {{}, true, "", false, false, "", ""},
	};
	for (const Case& test : cases) {
		std::vector<const char*> argv = {"Deinstaller"};
		argv.insert(argv.end(), test.arguments.begin(), test.arguments.end());
		DeinstallOptions options;
		std::string error;
		const bool ok = ParseDeinstallOptions(int(argv.size()), argv.data(), options, error);
		const std::string name = test.arguments.empty() ? "(none)" : test.arguments.back();
		EXPECT_EQ(ok, test.ok) << name;
		EXPECT_EQ(error, test.error) << name;
		if (!ok)
			continue;
		EXPECT_EQ(options.list, test.list) << name;
		EXPECT_EQ(options.yes, test.yes) << name;
		EXPECT_EQ(options.volume, test.volume) << name;
		EXPECT_EQ(options.destination, test.destination) << name;
	}
}
