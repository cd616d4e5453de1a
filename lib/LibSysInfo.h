// LibSysInfo: a snapshot of the machine (processors, clocks, memory, kernel
// build, main screen) with its one-line description.
#pragma once

#include "GraphicsDefs.h"
#include "LibString.h"
#include "Rect.h"
#include "SupportDefs.h"

class LibSysInfo {
public:
	// The raw readings a snapshot is made from.
	struct Source {
		int32 cpuCount = 1;
		int32 cpuType = 0;      // the platform's processor code
		int32 platformType = 0; // the platform's machine code
		int32 cpuRevision = 0;
		int64 cpuClockHz = 0;
		int64 busClockHz = 0;
		int64 maxPages = 0; // physical memory in 4096-byte pages
		LibString cpuModel; // the processor's own name, for one the table does not know
		LibString kernelBuildDate;
		LibString kernelBuildTime;
		color_space colorSpace = B_NO_COLOR_SPACE;
		BRect screenFrame; // BRect() means no screen
	};

	// Reports the main screen's colour space and frame; false when there is none.
	typedef bool (*ScreenProbe)(color_space& space, BRect& frame);

	// Takes the snapshot of this machine.
	LibSysInfo();
	explicit LibSysInfo(const Source& source);
	LibSysInfo(const LibSysInfo& other);
	virtual ~LibSysInfo();
	LibSysInfo& operator=(const LibSysInfo& other);

	// "%s (%d-%s@%d/%dMHz) %dMB RAM".
	void Description(LibString& text) const;
	// The depth name of colorSpace, in one process-wide text that the next
	// call overwrites.
	const char* ScreenDepthStr() const;
	void PrintToStream() const;

	// Readings of this machine: /proc/cpuinfo, sysconf, uname and the screen probe.
	static void ReadSystem(Source& source);
	// Fills processor code, revision and clock from the text of /proc/cpuinfo.
	static void ParseCpuInfo(const char* text, Source& source);
	// The main screen (BScreen) answers at first; tests install their own,
	// null stands for no screen.
	static void SetScreenProbe(ScreenProbe probe);

	// The processor code the platform gives an x86 processor: vendor base
	// plus family and model (4 bits each).
	static int32 X86CpuType(const char* vendor, const int32& family, const int32& model);
	static const char* CpuName(const int32& cpuType);
	static const char* MachineName(const int32& platformType);
	static const char* DepthName(const uint32& colorSpace);
	// Hz to MHz: truncated, plus one when more than half a MHz is left.
	static int32 RoundClock(const int64& hertz);
	static int32 RamMB(const int64& pages);
	// Pixels between two frame edges: rounded up, plus 1.
	static int32 ScreenExtent(const float& low, const float& high);

	color_space colorSpace;
	int32 cpuCount;
	LibString cpuName;
	LibString machineName;
	int32 screenWidth;
	int32 screenHeight;
	int32 cpuRevision;
	int32 cpuMHz;
	int32 busMHz;
	LibString kernelBuild;
	int32 ramMB;

private:
	void SetFrom(const Source& source);
};
