// The boot-script section that runs the startup folder's items.
#include "InstallConfig.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "TestFiles.h"

namespace {

std::string Build(const char* folder)
{
	InstallConfig config;
	std::vector<char> buffer(InstallConfig::StartupStringSize(folder));
	config.BuildStartupString(folder, buffer.data());
	return std::string(buffer.data());
}

} // namespace

TEST(StartupStringTest, FiftyThreeLinesWithTheFolderAndContact)
{
	const std::string text = Build("/boot/home/config/StartUp");
	EXPECT_NE(text.back(), '\n');
	const std::vector<std::string> lines = SplitLines(text);
	ASSERT_EQ(lines.size(), 53u);
	struct Case {
		size_t line;
		std::string text;
	};
	const Case cases[] = {
	        {1, "#"},
	        {2, "# This section was placed by Vantry."},
	        {4, std::string("# please contact ") + InstallConfig::kMakerSupportEmail + "."},
	        {12, "# Special thanks to Orlovane ( Be ) for taking the simple"},
	        {18, "startup_folder=/boot/home/config/StartUp"},
	        {19, "if [ -d $startup_folder ]"},
	        {24, "\techo \"#!/bin/sh\" > /tmp/startup_pri_$$"},
	        {25, "\t/bin/catattr run_priority \"$startup_folder\"/* 2>| /tmp/errs_$$ |"},
	        {26,
	         "\t/bin/awk -F: '{printf(\"%s~\\\"%s\\\"\\n\",$NF,substr($1,0,length($1)-1));}' |"},
	        {28, "\t/bin/awk -F '~' '{printf(\"%s &\\n\",$2)}' >> /tmp/startup_pri_$$"},
	        {33, "\tsed -e 's/ file /~/' -e 's/ attribute /~/' /tmp/errs_$$ |"},
	        {34, "\t/bin/awk -F '~' '{printf(\"\\\"\"$2\"\\\" &\\n\")}' >> /tmp/startup_no_pri_$$"},
	        {44, "\t/bin/sleep 1"},
	        {51, "\t/bin/rm -f /tmp/errs_$$"},
	        {52, "fi"},
	        {53, "#"},
	};
	for (const Case& test : cases)
		EXPECT_EQ(lines[test.line - 1], test.text) << "line " << test.line;
}

TEST(StartupStringTest, FolderAShellWouldSplitIsQuoted)
{
	struct Case {
		const char* folder;
		const char* line;
	};
	const Case cases[] = {
	        {"/boot/home/Start Up", "startup_folder='/boot/home/Start Up'"},
	        {"/boot/x;rm -rf y", "startup_folder='/boot/x;rm -rf y'"},
	        {"/boot/it's", "startup_folder='/boot/it'\\''s'"},
	        {"/boot/plain-1.0", "startup_folder=/boot/plain-1.0"},
	};
	for (const Case& test : cases)
		EXPECT_EQ(SplitLines(Build(test.folder))[17], test.line);
}

TEST(StartupStringTest, SizeIsExactlyWhatIsWritten)
{
	const char* folder = "/boot/home/config/StartUp";
	EXPECT_EQ(InstallConfig::StartupStringSize(folder), Build(folder).size() + 1);
}
