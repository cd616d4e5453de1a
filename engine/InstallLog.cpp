// InstallLog: the log's stream, its header block and its lines.
#include "InstallLog.h"

#include "ConfigRecord.h"
#include "InstallTexts.h"
#include "InstallerSignature.h"
#include "LibBytes.h"
#include "LibDateTime.h"
#include "LibLocaleDateTime.h"
#include "LibSysInfo.h"

namespace {

const char* YesNo(const bool& value)
{
	return value ? "Yes" : "No";
}

// The local date, one space and the local time with seconds.
LibString NowText()
{
	LibLocaleDateTime format;
	format.SetSeperator(" ");
	format.SetShowSeconds(true);
	return format.Format(LibDateTime(true));
}

} // namespace

InstallLog::InstallLog(FILE*& stream, InstallFailures& failures)
    : fStream(stream), fFailures(failures)
{
}

void InstallLog::Open(const char* path, const bool& wanted)
{
	Close();
	if (path == nullptr || !wanted)
		return;
	fStream = fopen(path, "w");
}

void InstallLog::Line(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	Write(format, args);
	va_end(args);
}

void InstallLog::Write(const char* format, va_list args)
{
	if (fStream == nullptr || format == nullptr)
		return;
	vfprintf(fStream, format, args);
	fflush(fStream);
}

void InstallLog::Failure(const std::string& path, const std::string& reason)
{
	fFailures.Add(path, reason);
	Line("\t\t\tFailed: %s: %s\n", path.c_str(), reason.c_str());
}

void InstallLog::Close()
{
	if (fStream == nullptr)
		return;
	fclose(fStream);
	fStream = nullptr;
}

void InstallLog::Header(const BMessage& record, const char* installer_version,
                        const char* volume_name, const off_t& free_bytes, const char* folder_path,
                        const char* saved_files_path)
{
	if (fStream == nullptr)
		return;
	const ConfigRecord config(record);
	const LibString required = InstallText(1025);
	const LibString suggested = InstallText(1026);

	Line("VANTRY\n\tVersion %s\n\t%s\n\t%s\n",
	     installer_version != nullptr ? installer_version : "", kMakerWebAddress,
	     kMakerSupportEmail);

	Line("\nAPPLICATION\n");
	Line("\tApplication : %s\n", config.AppName());
	Line("\tVersion : %s\n", config.Version());
	Line("\tRelease Date : %s\n", config.ReleaseDate());
	Line("\tCompany : %s\n", config.Company());
	Line("\tSupport Email : %s\n", config.SupportEmail());
	const std::string signature = RunningSignatureSummary(config.Company());
	if (!signature.empty())
		Line("\tSignature : %s\n", signature.c_str());

	LibString system;
	LibSysInfo().Description(system);
	LibString freeText;
	LibBytesToString(int64(free_bytes), freeText, 1);
	Line("\nABOUT THIS SYSTEM\n\t%s\n\tFree Disk Space : %s\n", system.String(), freeText.String());

	Line("\nINSTALLER REQUIREMENTS\n");
	const bool diskNeeded = config.DiskSpaceNeeded();
	Line("\tDisk Space Needed: %s\n", YesNo(diskNeeded));
	if (diskNeeded) {

		const double value = config.DiskSpaceAmount();
		LibString amountText;
		LibBytesToString(int64(value), amountText, 1);
		Line("\t\tDisk spaced %s: %s\n",
		     config.DiskSpaceRequired() ? required.String() : suggested.String(),
		     amountText.String());
	}
	const bool ramNeeded = config.RamNeeded();
	Line("\tPhysical RAM Needed: %s\n", YesNo(ramNeeded));
	if (ramNeeded) {
		Line("\t\tRAM %s: %d MB\n", config.RamRequired() ? required.String() : suggested.String(),
		     int(config.RamAmount()));
	}
	Line("\tBoot Volume Only: %s\n", YesNo(config.BootVolumeOnly()));
	Line("\tRemovable Volume Allowed: %s\n", YesNo(config.RemovableVolumeOk()));
	Line("\tShared Volume Allowed: %s\n", YesNo(config.SharedVolumeOk()));
	Line("\tShared Libraries:\n\tDependent Applications:\n");

	Line("\nINSTALLATION\n\tOn volume %s.\n\tIn folder %s.\n",
	     volume_name != nullptr ? volume_name : "", folder_path != nullptr ? folder_path : "");
	if (config.SaveReplaced())
		Line("\tReplaced files moved to %s\n", saved_files_path != nullptr ? saved_files_path : "");
	Line("\n\tInstallation Started: %s\n", NowText().String());
}

void InstallLog::Complete()
{
	Line("\tInstallation Complete: %s\n", NowText().String());
}
