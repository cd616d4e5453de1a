// LibSysInfo: the machine snapshot, read from the kernel's own reports.
#include "LibSysInfo.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "Screen.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

struct Name {
	int32 code;
	const char* name;
};

const Name kCpuNames[] = {
        {1, "601"},
        {2, "603"},
        {3, "603e"},
        {4, "604"},
        {5, "604e"},
        {13, "686"},
        {14, "AMD 29K"},
        {15, "x86"},
        {16, "MC6502"},
        {17, "Z80"},
        {18, "Alpha"},
        {19, "Mips"},
        {20, "Hppa"},
        {21, "M68K"},
        {22, "Arm"},
        {23, "SH"},
        {24, "Sparc"},
        {0x1000, "Intel x86"},
        {0x1051, "Intel Pentium"},
        {0x1052, "Intel Pentium 75"},
        {0x1053, "Intel Pentium 486"},
        {0x1054, "Intel Pentium MMX"},
        {0x1058, "Intel Pentium MMX Model 8"},
        {0x1059, "Intel Pentium 75-486"},
        {0x1061, "Intel Pentium Pro"},
        {0x1063, "Intel Pentium II"},
        {0x1065, "Intel Pentium II m5"},
        {0x1066, "Intel Pentium Celeron"},
        {0x1067, "Intel Pentium III"},
        {0x1100, "AMD x86"},
        {0x1150, "AMD K5 m0"},
        {0x1151, "AMD K5 m1"},
        {0x1152, "AMD K5 m2"},
        {0x1153, "AMD K5 m3"},
        {0x1156, "AMD K6 m6"},
        {0x1157, "AMD K6 m7"},
        {0x1158, "AMD K6 m8"},
        {0x1159, "AMD K6 m9"},
        {0x1200, "Cyrix x86"},
        {0x1254, "Cyrix GXm"},
        {0x1260, "Cyrix 6 x86MX"},
        {0x1354, "IDT WinChip C6"},
        {0x1358, "IDT WinChip 2"},
        {0x1400, "Rise x86"},
        {0x1450, "Rise mP6"},
};

const char* const kMachineNames[] = {"BeBox", "Mac",    "AT Clone", "Eniac",          "Apple II",
                                     "Cray",  "Lisa",   "TI 994A",  "Timex Sinclair", "Orac 1",
                                     "Hal",   "Besm 6", "MK 61",    "Nintendo 64"};

const Name kDepthNames[] = {
        {0, "No color"},    {1, "1 bit gray"},   {2, "8 bit gray"},   {3, "24 bit color"},
        {4, "8 bit color"}, {5, "16 bit color"}, {8, "32 bit color"}, {16, "15 bit color"},
};

// The platform's codes for an AT clone and for a processor it cannot name.
const int32 kAtClonePlatform = 2;
const int32 kUnknownPlatform = 14;
const int32 kGenericX86 = 15;
const int32 kArm = 22;

// The main screen when a display is there; "no screen" without one.
bool MainScreenProbe(color_space& space, BRect& frame)
{
	BScreen screen(B_MAIN_SCREEN_ID);
	if (!screen.IsValid())
		return false;
	space = screen.ColorSpace();
	frame = screen.Frame();
	return true;
}

std::atomic<LibSysInfo::ScreenProbe> sScreenProbe{&MainScreenProbe};

const char* FindName(const Name* table, size_t count, const int32& code)
{
	for (size_t i = 0; i < count; i++) {
		if (table[i].code == code)
			return table[i].name;
	}
	return "Unknown";
}

// The value after "key<spaces>:" on a line of /proc/cpuinfo.
bool CpuInfoValue(const std::string& line, const char* key, std::string& value)
{
	size_t keyLength = strlen(key);
	if (line.compare(0, keyLength, key) != 0)
		return false;
	size_t colon = line.find(':', keyLength);
	if (colon == std::string::npos || line.find_first_not_of(" \t", keyLength) != colon)
		return false;
	size_t start = line.find_first_not_of(" \t", colon + 1);
	value = start == std::string::npos ? "" : line.substr(start);
	return true;
}

// "Intel(R) Core(TM)  i7" with single spaces, without spaces at the ends.
std::string CollapseSpaces(const std::string& text)
{
	std::string result;
	for (const char c : text) {
		const bool space = c == ' ' || c == '\t';
		if (space && (result.empty() || result.back() == ' '))
			continue;
		result += space ? ' ' : c;
	}
	while (!result.empty() && result.back() == ' ')
		result.pop_back();
	return result;
}

int64 BusClockHz()
{
#if defined(__x86_64__) || defined(__i386__)
	// Leaf 0x16 reports the bus (reference) clock in MHz where the processor knows it.
	unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
	if (__get_cpuid_max(0, nullptr) < 0x16)
		return 0;
	__cpuid(0x16, eax, ebx, ecx, edx);
	return int64(ecx & 0xffff) * 1000000;
#else
	return 0;
#endif
}

void ReadKernelBuild(LibSysInfo::Source& source)
{
	struct utsname name;
	if (uname(&name) != 0)
		return;
	// Linux reports its build as the release and the version line (which
	// carries the build date where the distribution puts one).
	source.kernelBuildDate = name.release;
	source.kernelBuildTime = name.version;
}

} // namespace

LibSysInfo::LibSysInfo()
    : colorSpace(B_NO_COLOR_SPACE), cpuCount(0), screenWidth(0), screenHeight(0), cpuRevision(0),
      cpuMHz(0), busMHz(0), ramMB(0)
{
	Source source;
	ReadSystem(source);
	SetFrom(source);
}

LibSysInfo::LibSysInfo(const Source& source)
    : colorSpace(B_NO_COLOR_SPACE), cpuCount(0), screenWidth(0), screenHeight(0), cpuRevision(0),
      cpuMHz(0), busMHz(0), ramMB(0)
{
	SetFrom(source);
}

LibSysInfo::LibSysInfo(const LibSysInfo& other)
    : colorSpace(other.colorSpace), cpuCount(other.cpuCount), cpuName(other.cpuName),
      machineName(other.machineName), screenWidth(other.screenWidth),
      screenHeight(other.screenHeight), cpuRevision(other.cpuRevision), cpuMHz(other.cpuMHz),
      busMHz(other.busMHz), kernelBuild(other.kernelBuild), ramMB(other.ramMB)
{
}

LibSysInfo::~LibSysInfo() {}

LibSysInfo& LibSysInfo::operator=(const LibSysInfo& other)
{
	if (this == &other)
		return *this;
	colorSpace = other.colorSpace;
	cpuCount = other.cpuCount;
	cpuName = other.cpuName;
	machineName = other.machineName;
	screenWidth = other.screenWidth;
	screenHeight = other.screenHeight;
	cpuRevision = other.cpuRevision;
	cpuMHz = other.cpuMHz;
	busMHz = other.busMHz;
	kernelBuild = other.kernelBuild;
	ramMB = other.ramMB;
	return *this;
}

void LibSysInfo::Description(LibString& text) const
{
	text.Formatted("%s (%d-%s@%d/%dMHz) %dMB RAM", machineName.String(), (int)cpuCount,
	               cpuName.String(), (int)cpuMHz, (int)busMHz, (int)ramMB);
}

const char* LibSysInfo::ScreenDepthStr() const
{
	static LibString depth;
	depth = DepthName(colorSpace);
	return depth.String();
}

void LibSysInfo::PrintToStream() const
{
	LibString description;
	Description(description);
	fprintf(stderr, "%s\n", description.String());
	fprintf(stderr, "%s, %dx%d\n", ScreenDepthStr(), (int)screenWidth, (int)screenHeight);
}

void LibSysInfo::ReadSystem(Source& source)
{
	std::ifstream file("/proc/cpuinfo");
	std::stringstream text;
	text << file.rdbuf();
	ParseCpuInfo(text.str().c_str(), source);
#if defined(__x86_64__) || defined(__i386__)
	source.platformType = kAtClonePlatform;
#else
	source.platformType = kUnknownPlatform;
#endif
	long processors = sysconf(_SC_NPROCESSORS_ONLN);
	source.cpuCount = processors > 0 ? int32(processors) : 1;
	long pages = sysconf(_SC_PHYS_PAGES);
	long pageSize = sysconf(_SC_PAGESIZE);
	if (pages > 0 && pageSize > 0)
		source.maxPages = int64(pages) * pageSize / 4096;
	source.busClockHz = BusClockHz();
	// The rated clock: "cpu MHz" is the present one, which idles low.
	std::ifstream rated("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
	int64 kiloHertz = 0;
	if (rated >> kiloHertz && kiloHertz > 0)
		source.cpuClockHz = kiloHertz * 1000;
	ReadKernelBuild(source);
	ScreenProbe probe = sScreenProbe.load();
	if (probe == nullptr || !probe(source.colorSpace, source.screenFrame)) {
		source.colorSpace = B_NO_COLOR_SPACE;
		source.screenFrame = BRect();
	}
}

void LibSysInfo::ParseCpuInfo(const char* text, Source& source)
{
	if (text == nullptr)
		return;
	std::istringstream lines(text);
	std::string line;
	std::string value;
	std::string vendor;
	int32 family = -1;
	int32 model = 0;
	int32 stepping = 0;
	bool arm = false;
	// Only the first processor's block counts.
	while (std::getline(lines, line) && !line.empty()) {
		if (CpuInfoValue(line, "vendor_id", value))
			vendor = value;
		else if (CpuInfoValue(line, "cpu family", value))
			family = atoi(value.c_str());
		else if (CpuInfoValue(line, "model", value))
			model = atoi(value.c_str());
		else if (CpuInfoValue(line, "stepping", value))
			stepping = atoi(value.c_str());
		else if (CpuInfoValue(line, "cpu MHz", value))
			source.cpuClockHz = llround(atof(value.c_str()) * 1000000.0);
		else if (CpuInfoValue(line, "CPU implementer", value))
			arm = true;
		else if (CpuInfoValue(line, "model name", value) || CpuInfoValue(line, "Model", value) ||
		         CpuInfoValue(line, "Hardware", value) || CpuInfoValue(line, "cpu model", value))
			source.cpuModel = CollapseSpaces(value).c_str();
	}
	if (family < 0) {
		source.cpuType = arm ? kArm : 0;
		return;
	}
	source.cpuType = X86CpuType(vendor.c_str(), family, model);
	// The table names processors of four-bit families and models; a later
	// one would take the name of an old one that shares its low bits.
	if ((family >= 15 || model > 15) && source.cpuModel.Length() > 0)
		source.cpuType = 0;
	// The processor's own signature: extended fields above the base ones.
	int32 baseFamily = family >= 15 ? 15 : family;
	int32 extendedFamily = family >= 15 ? family - 15 : 0;
	source.cpuRevision = (extendedFamily << 20) | ((model >> 4) << 16) | (baseFamily << 8) |
	                     ((model & 0xf) << 4) | (stepping & 0xf);
}

void LibSysInfo::SetScreenProbe(ScreenProbe probe)
{
	sScreenProbe.store(probe);
}

int32 LibSysInfo::X86CpuType(const char* vendor, const int32& family, const int32& model)
{
	struct Vendor {
		const char* id;
		int32 base;
	};
	static const Vendor kVendors[] = {
	        {"GenuineIntel", 0x1000}, {"AuthenticAMD", 0x1100}, {"CyrixInstead", 0x1200},
	        {"CentaurHauls", 0x1300}, {"RiseRiseRise", 0x1400},
	};
	int32 base = -1;
	for (const Vendor& known : kVendors) {
		if (vendor != nullptr && strcmp(vendor, known.id) == 0)
			base = known.base;
	}
	if (base < 0)
		return kGenericX86;
	// The platform knew only the four-bit base family and model.
	int32 baseFamily = family >= 15 ? 15 : (family < 0 ? 0 : family);
	return base + (baseFamily << 4) + (model & 0xf);
}

const char* LibSysInfo::CpuName(const int32& cpuType)
{
	return FindName(kCpuNames, sizeof(kCpuNames) / sizeof(kCpuNames[0]), cpuType);
}

const char* LibSysInfo::MachineName(const int32& platformType)
{
	int32 count = int32(sizeof(kMachineNames) / sizeof(kMachineNames[0]));
	if (platformType < 0 || platformType >= count)
		return "Unknown";
	return kMachineNames[platformType];
}

const char* LibSysInfo::DepthName(const uint32& colorSpace)
{
	return FindName(kDepthNames, sizeof(kDepthNames) / sizeof(kDepthNames[0]), int32(colorSpace));
}

int32 LibSysInfo::RoundClock(const int64& hertz)
{
	int64 mega = hertz / 1000000;
	int64 rest = hertz % 1000000;
	if (rest > 500000)
		mega++;
	return int32(mega);
}

int32 LibSysInfo::RamMB(const int64& pages)
{
	return int32(pages * 4096 / 1048576);
}

int32 LibSysInfo::ScreenExtent(const float& low, const float& high)
{
	return int32(std::ceil(high - low)) + 1;
}

void LibSysInfo::SetFrom(const Source& source)
{
	colorSpace = source.colorSpace;
	cpuCount = source.cpuCount;
	cpuName = CpuName(source.cpuType);
	if (cpuName == "Unknown" && source.cpuModel.Length() > 0)
		cpuName = source.cpuModel;
	machineName = MachineName(source.platformType);
	screenWidth = ScreenExtent(source.screenFrame.left, source.screenFrame.right);
	screenHeight = ScreenExtent(source.screenFrame.top, source.screenFrame.bottom);
	cpuRevision = source.cpuRevision;
	cpuMHz = RoundClock(source.cpuClockHz);
	busMHz = RoundClock(source.busClockHz);
	kernelBuild.Formatted("%s, %s", source.kernelBuildDate.String(),
	                      source.kernelBuildTime.String());
	ramMB = RamMB(source.maxPages);
}
