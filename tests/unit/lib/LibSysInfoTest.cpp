// System information, size texts, process control and message boxes.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "AlertPresenter.h"
#include "AlertResponder.h"
#include "LibBytes.h"
#include "LibMessageBox.h"
#include "LibString.h"
#include "LibSysInfo.h"
#include "LibSystem.h"

namespace {

LibSysInfo::Source PentiumII()
{
	LibSysInfo::Source source;
	source.cpuCount = 1;
	source.cpuType = 0x1063;
	source.platformType = 2;
	source.cpuClockHz = 399999999;
	source.busClockHz = 100000000;
	source.maxPages = 32768;
	source.kernelBuildDate = "Mar 1 2000";
	source.kernelBuildTime = "12:00:00";
	return source;
}

char ProcessState(pid_t pid)
{
	std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
	std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
	size_t close = stat.rfind(')');
	return close == std::string::npos || close + 2 >= stat.size() ? '?' : stat[close + 2];
}

bool WaitForState(pid_t pid, bool stopped)
{
	for (int i = 0; i < 500; i++) {
		char state = ProcessState(pid);
		if ((state == 'T') == stopped)
			return true;
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}
	return false;
}

} // namespace

TEST(LibSysInfoTest, NameTables)
{
	const std::vector<std::pair<int32, const char*>> cpus = {
	        {1, "601"},
	        {4, "604"},
	        {6, "Unknown"},
	        {7, "Unknown"},
	        {12, "Unknown"},
	        {15, "x86"},
	        {22, "Arm"},
	        {0x1063, "Intel Pentium II"},
	        {0x1067, "Intel Pentium III"},
	        {0x1159, "AMD K6 m9"},
	        {0x1354, "IDT WinChip C6"},
	        {0x1450, "Rise mP6"},
	        {0x1064, "Unknown"},
	        {-1, "Unknown"},
	};
	for (const auto& c : cpus)
		EXPECT_STREQ(LibSysInfo::CpuName(c.first), c.second) << c.first;
	const std::vector<std::pair<int32, const char*>> machines = {
	        {0, "BeBox"}, {2, "AT Clone"}, {13, "Nintendo 64"}, {14, "Unknown"}, {-1, "Unknown"},
	};
	for (const auto& c : machines)
		EXPECT_STREQ(LibSysInfo::MachineName(c.first), c.second) << c.first;
	const std::vector<std::pair<uint32, const char*>> depths = {
	        {0, "No color"},     {1, "1 bit gray"},   {2, "8 bit gray"},   {3, "24 bit color"},
	        {4, "8 bit color"},  {5, "16 bit color"}, {8, "32 bit color"}, {16, "15 bit color"},
	        {0x2008, "Unknown"}, {6, "Unknown"},
	};
	for (const auto& c : depths)
		EXPECT_STREQ(LibSysInfo::DepthName(c.first), c.second) << c.first;
}

TEST(LibSysInfoTest, Rounding_ClocksMemoryAndScreen)
{
	const std::vector<std::pair<int64, int32>> clocks = {
	        {399500000, 399}, {399500001, 400}, {400000000, 400},     {0, 0},
	        {500000, 0},      {500001, 1},      {3999999999LL, 4000},
	};
	for (const auto& c : clocks)
		EXPECT_EQ(LibSysInfo::RoundClock(c.first), c.second) << c.first;
	EXPECT_EQ(LibSysInfo::RamMB(262144), 1024);
	EXPECT_EQ(LibSysInfo::RamMB(262143), 1023);
	EXPECT_EQ(LibSysInfo::RamMB(16LL * 262144 * 1024), 16 * 1024 * 1024) << "no 32-bit overflow";
	EXPECT_EQ(LibSysInfo::ScreenExtent(0, 1023), 1024);
	EXPECT_EQ(LibSysInfo::ScreenExtent(0, 1023.2f), 1025);
	EXPECT_EQ(LibSysInfo::ScreenExtent(0, -1), 0);
}

TEST(LibSysInfoTest, X86ProcessorCodes)
{
	struct Case {
		const char* vendor;
		int32 family;
		int32 model;
		int32 code;
	};
	const std::vector<Case> cases = {
	        {"GenuineIntel", 6, 3, 0x1063},
	        {"GenuineIntel", 5, 4, 0x1054},
	        {"GenuineIntel", 6, 0x9e, 0x106e}, // only the low four model bits
	        {"AuthenticAMD", 5, 6, 0x1156},
	        {"AuthenticAMD", 25, 17, 0x11f1}, // extended family folds into 15
	        {"CyrixInstead", 6, 0, 0x1260},
	        {"CentaurHauls", 5, 4, 0x1354},
	        {"RiseRiseRise", 5, 0, 0x1450},
	        {"HygonGenuine", 24, 0, 15},
	};
	for (const Case& c : cases)
		EXPECT_EQ(LibSysInfo::X86CpuType(c.vendor, c.family, c.model), c.code) << c.vendor;
}

TEST(LibSysInfoTest, ParseCpuInfo_ReadsTheFirstProcessor)
{
	const char* text = "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 7\n"
	                   "model name\t: Pentium III\nstepping\t: 3\ncpu MHz\t\t: 399.500001\n\n"
	                   "processor\t: 1\nvendor_id\t: AuthenticAMD\ncpu family\t: 5\nmodel\t\t: 8\n"
	                   "cpu MHz\t\t: 1000.000\n";
	LibSysInfo::Source source;
	LibSysInfo::ParseCpuInfo(text, source);
	EXPECT_EQ(source.cpuType, 0x1067);
	EXPECT_EQ(source.cpuRevision, 0x673);
	EXPECT_EQ(LibSysInfo::RoundClock(source.cpuClockHz), 400);

	LibSysInfo::Source arm;
	LibSysInfo::ParseCpuInfo("processor\t: 0\nCPU implementer\t: 0x41\n", arm);
	EXPECT_STREQ(LibSysInfo::CpuName(arm.cpuType), "Arm");
}

TEST(LibSysInfoTest, ProcessorsTheTableDoesNotKnowAreNamedByTheirOwnModelName)
{
	struct Case {
		const char* cpuinfo;
		const char* name;
	};
	const Case cases[] = {
	        {"vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 3\n"
	         "model name\t: Pentium II (Klamath)\n",
	         "Intel Pentium II"},
	        // Model 0x55 shares its low bits with the Pentium II m5.
	        {"vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 85\n"
	         "model name\t: Intel(R) Xeon(R)  Gold 6130 CPU @ 2.10GHz \n",
	         "Intel(R) Xeon(R) Gold 6130 CPU @ 2.10GHz"},
	        {"vendor_id\t: AuthenticAMD\ncpu family\t: 25\nmodel\t\t: 1\n"
	         "model name\t: AMD EPYC 7763 64-Core Processor\n",
	         "AMD EPYC 7763 64-Core Processor"},
	        {"processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 142\n",
	         "Unknown"},
	        {"processor\t: 0\nCPU implementer\t: 0x41\nmodel name\t: ARMv8 Processor rev 1\n",
	         "Arm"},
	};
	for (const Case& c : cases) {
		LibSysInfo::Source source;
		LibSysInfo::ParseCpuInfo(c.cpuinfo, source);
		EXPECT_STREQ(LibSysInfo(source).cpuName.String(), c.name) << c.cpuinfo;
	}
}

TEST(LibSysInfoTest, Description_AndPrintToStream)
{
	LibSysInfo::Source source = PentiumII();
	LibSysInfo info(source);
	LibString text;
	info.Description(text);
	EXPECT_STREQ(text.String(), "AT Clone (1-Intel Pentium II@400/100MHz) 128MB RAM");
	EXPECT_STREQ(info.kernelBuild.String(), "Mar 1 2000, 12:00:00");

	source.cpuType = 6;
	source.cpuCount = 2;
	LibSysInfo unknown(source);
	unknown.Description(text);
	EXPECT_STREQ(text.String(), "AT Clone (2-Unknown@400/100MHz) 128MB RAM");

	testing::internal::CaptureStderr();
	info.PrintToStream();
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
	          "AT Clone (1-Intel Pentium II@400/100MHz) 128MB RAM\nNo color, 0x0\n");

	LibSysInfo copy(unknown);
	copy = info;
	copy = copy;
	copy.Description(text);
	EXPECT_STREQ(text.String(), "AT Clone (1-Intel Pentium II@400/100MHz) 128MB RAM");
}

TEST(LibSysInfoTest, ScreenComesFromTheProbe)
{
	LibSysInfo::SetScreenProbe([](color_space& space, BRect& frame) {
		space = B_RGB32;
		frame = BRect(0, 0, 1279, 1023);
		return true;
	});
	LibSysInfo info;
	LibSysInfo::SetScreenProbe(nullptr);
	EXPECT_EQ(info.screenWidth, 1280);
	EXPECT_EQ(info.screenHeight, 1024);
	EXPECT_STREQ(info.ScreenDepthStr(), "32 bit color");

	LibSysInfo none;
	EXPECT_EQ(none.screenWidth, 0);
	EXPECT_STREQ(none.ScreenDepthStr(), "No color");
}

TEST(LibSysInfoTest, Snapshot_OfThisMachine)
{
	LibSysInfo info;
	EXPECT_GE(info.cpuCount, 1);
	EXPECT_GT(info.ramMB, 0);
	EXPECT_GT(info.cpuName.Length(), 0);
	EXPECT_GT(info.machineName.Length(), 0);
	EXPECT_NE(info.kernelBuild.Index(", "), -1);
	LibString version("unchanged");
	LibGetOSVersion(version);
	EXPECT_STRNE(version.String(), "unchanged");
	EXPECT_TRUE(version.BeginsWith("Linux"));
}

TEST(LibSysInfoTest, Login_IsTheUsersName)
{
	LibString login = LibGetLogin();
	char name[256];
	std::vector<std::string> accepted;
	if (getlogin_r(name, sizeof(name)) == 0)
		accepted.push_back(name);
	if (struct passwd* entry = getpwuid(getuid()))
		accepted.push_back(entry->pw_name);
	if (accepted.empty())
		accepted.push_back("");
	EXPECT_NE(std::find(accepted.begin(), accepted.end(), login.String()), accepted.end())
	        << login.String();
}

TEST(LibBytesTest, BytesToString)
{
	struct Case {
		uint64 bytes;
		int32 decimals;
		const char* text;
	};
	const std::vector<Case> cases = {
	        {1048576, 1, "1024.0 KB"}, {1024, 1, "1024.0 bytes"},     {1536, 1, "1.5 KB"},
	        {5242880, 1, "5.0 MB"},    {0, 1, "0.0 bytes"},           {1048577, 2, "1.00 MB"},
	        {1025, 0, "1 KB"},         {4294967295u, 1, "4096.0 MB"},
	};
	for (const Case& c : cases) {
		LibString text32;
		LibString text64;
		LibBytesToString(uint32(c.bytes), text32, c.decimals);
		LibBytesToString(c.bytes, text64, c.decimals);
		EXPECT_STREQ(text32.String(), c.text) << c.bytes;
		EXPECT_STREQ(text64.String(), c.text) << c.bytes;
	}
	LibString text;
	EXPECT_STREQ(LibBytesToString(uint64(6) << 30, text, 1).String(), "6144.0 MB");
	EXPECT_STREQ(LibBytesToString(int64(-5), text, 1).String(), "0.0 bytes");
	EXPECT_STREQ(LibBytesToString(1048577, text, 2).String(), "1.00 MB");
}

TEST(LibBytesTest, StringToBytes)
{
	const std::vector<std::pair<const char*, uint32>> cases = {
	        {"1.5 KB", 1536},         {"2 MB", 2097152}, {"0.5 MB", 524288}, {"512", 0},
	        {"512 bytes", 0},         {"2 mb", 0},       {"1 KB ", 0},       {"-1 KB", 0},
	        {"5000 MB", 0xffffffffu}, {"1.9 KB", 1945},
	};
	for (const auto& c : cases)
		EXPECT_EQ(LibStringToBytes(c.first), c.second) << c.first;
	testing::internal::CaptureStderr();
	EXPECT_EQ(LibStringToBytes("abc KB"), 0u);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "LibConvertBytes <abc> not a float\n");
	EXPECT_EQ(LibStringToBytes(nullptr), 0u);
}

TEST(LibTeamTest, CpuTimeGrowsWhileWorking)
{
	EXPECT_EQ(lib_team_cpu_time(0x7ffffff0), 0.0);
	volatile uint64 sink = 0;
	auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
	while (lib_team_cpu_time(getpid()) < 0.05 && std::chrono::steady_clock::now() < deadline) {
		for (int i = 0; i < 1000000; i++)
			sink = sink + i;
	}
	EXPECT_GE(lib_team_cpu_time(getpid()), 0.05);
}

TEST(LibTeamTest, SuspendAndResumeAnotherProcess)
{
	EXPECT_EQ(lib_suspend_team(getpid()), B_NOT_ALLOWED);
	EXPECT_EQ(lib_suspend_team(0x7ffffff0), B_BAD_TEAM_ID);
	EXPECT_EQ(lib_resume_team(0x7ffffff0), B_BAD_TEAM_ID);
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		for (;;)
			pause();
	}
	EXPECT_EQ(lib_suspend_team(child), B_OK);
	EXPECT_TRUE(WaitForState(child, true));
	EXPECT_EQ(lib_resume_team(child), B_OK);
	EXPECT_TRUE(WaitForState(child, false));
	kill(child, SIGKILL);
	waitpid(child, nullptr, 0);
}

TEST(LibMessageBoxTest, KindsTextAndButton)
{
	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	std::string longText(3000, 'y');
	EXPECT_EQ(LibError("Unable to read resource %d", 2002), 0);
	EXPECT_EQ(LibWarning("%s", "Low disk space"), 0);
	EXPECT_EQ(LibInfo("%s", longText.c_str()), 0);
	std::vector<AlertResponder::Record> records = responder.Records();
	ASSERT_EQ(records.size(), 3u);
	const std::vector<std::pair<int32, std::string>> expected = {
	        {4, "Unable to read resource 2002"}, {3, "Low disk space"}, {1, longText}};
	for (size_t i = 0; i < expected.size(); i++) {
		EXPECT_EQ(records[i].type, expected[i].first);
		EXPECT_EQ(records[i].text, expected[i].second) << "the whole text is shown";
		EXPECT_EQ(records[i].title, "");
		EXPECT_EQ(records[i].buttons, std::vector<std::string>{"OK"});
		EXPECT_EQ(records[i].shortcuts, std::vector<char>{'O'});
	}
}

TEST(LibMessageBoxTest, NoWaitReturnsBeforeTheAnswer)
{
	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	EXPECT_EQ(LibInfoNoWait("Installed %d items", 3), 0);
	ASSERT_TRUE(responder.WaitForRecords(1, 5000000));
	EXPECT_EQ(responder.Records()[0].text, "Installed 3 items");
	EXPECT_EQ(responder.Records()[0].type, 1);
}
