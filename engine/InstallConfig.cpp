// InstallConfig: construction, the status-update message and the install log.
#include "InstallConfig.h"

#include <cstdarg>
#include <cstring>

#include "ConfigText.h"
#include "InstallTexts.h"
#include "LibBytes.h"
#include "LibDateTime.h"
#include "LibLocaleDateTime.h"
#include "LibSysInfo.h"
#include "Messenger.h"
#include "TextCut.h"

const char* const InstallConfig::kMakerWebAddress = "https://vantry.org";
const char* const InstallConfig::kMakerSupportEmail = "support@vantry.org";

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

InstallConfig::InstallConfig()
    : BMessage(), LibThread(), log_file(nullptr), destination(), restart_requested(false)
{
}

InstallConfig::~InstallConfig()
{
	// The run uses this object: it must be over before any of it goes.
	StopThread();
	CloseLog();
}

void InstallConfig::PrintToStream()
{
	LibThread::PrintToStream();
	BMessage instructions;
	if (FindMessage("install_instructions", &instructions) != B_OK)
		return;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++)
		item.PrintToStream();
}

void InstallConfig::UpdateStatus(const char* format, ...)
{
	if (target == nullptr || format == nullptr)
		return;
	va_list args;
	va_start(args, format);
	const std::string text = FormatCut(kStatusSize, format, args);
	va_end(args);
	BMessage message(INSTALL_STATUS_UPDATE);
	message.AddString("message", text.c_str());
	target->SendMessage(&message, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
}

void InstallConfig::ReportProgress(const int64& placed)
{
	if (target == nullptr)
		return;
	BMessage message(INSTALL_PROGRESS);
	message.AddInt64("placed", placed);
	target->SendMessage(&message, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
}

void InstallConfig::OpenLog(const char* path)
{
	CloseLog();
	if (path == nullptr || !FindBool("opt_log"))
		return;
	log_file = fopen(path, "w");
}

void InstallConfig::Log(const char* format, ...)
{
	if (log_file == nullptr || format == nullptr)
		return;
	va_list args;
	va_start(args, format);
	vfprintf(log_file, format, args);
	va_end(args);
	fflush(log_file);
}

void InstallConfig::LogFailure(const std::string& path, const std::string& reason)
{
	failures.Add(path, reason);
	Log("\t\t\tFailed: %s: %s\n", path.c_str(), reason.c_str());
}

void InstallConfig::LogFailure(const std::string& path, const int& error)
{
	LogFailure(path, std::string(error != 0 ? strerror(error) : "unknown error"));
}

void InstallConfig::CloseLog()
{
	if (log_file == nullptr)
		return;
	fclose(log_file);
	log_file = nullptr;
}

void InstallConfig::LogHeader(const char* installer_version, const char* volume_name,
                              const off_t& free_bytes, const char* folder_path,
                              const char* saved_files_path)
{
	if (log_file == nullptr)
		return;
	const LibString required = InstallText(1025);
	const LibString suggested = InstallText(1026);

	Log("VANTRY\n\tVersion %s\n\t%s\n\t%s\n", installer_version != nullptr ? installer_version : "",
	    kMakerWebAddress, kMakerSupportEmail);

	Log("\nAPPLICATION\n");
	Log("\tApplication : %s\n", ConfigText(*this, "app_name"));
	Log("\tVersion : %s\n", ConfigText(*this, "version"));
	Log("\tRelease Date : %s\n", ConfigText(*this, "release_date"));
	Log("\tCompany : %s\n", ConfigText(*this, "company"));
	Log("\tSupport Email : %s\n", ConfigText(*this, "support_email"));

	LibString system;
	LibSysInfo().Description(system);
	LibString freeText;
	LibBytesToString(int64(free_bytes), freeText, 1);
	Log("\nABOUT THIS SYSTEM\n\t%s\n\tFree Disk Space : %s\n", system.String(), freeText.String());

	Log("\nINSTALLER REQUIREMENTS\n");
	const bool diskNeeded = FindBool("req_disk_space_needed");
	Log("\tDisk Space Needed: %s\n", YesNo(diskNeeded));
	if (diskNeeded) {
		BMessage amount;
		FindMessage("req_disk_space_amount", &amount);
		const double value = amount.FindDouble("value");
		LibString amountText;
		LibBytesToString(int64(value), amountText, 1);
		Log("\t\tDisk spaced %s: %s\n",
		    FindBool("req_disk_space_required") ? required.String() : suggested.String(),
		    amountText.String());
	}
	const bool ramNeeded = FindBool("req_ram_needed");
	Log("\tPhysical RAM Needed: %s\n", YesNo(ramNeeded));
	if (ramNeeded) {
		Log("\t\tRAM %s: %d MB\n",
		    FindBool("req_ram_required") ? required.String() : suggested.String(),
		    int(FindInt32("req_ram_amount")));
	}
	Log("\tBoot Volume Only: %s\n", YesNo(FindBool("req_boot_vol_only")));
	Log("\tRemovable Volume Allowed: %s\n", YesNo(FindBool("req_removable_vol_ok")));
	Log("\tShared Volume Allowed: %s\n", YesNo(FindBool("req_shared_vol_ok")));
	Log("\tShared Libraries:\n\tDependent Applications:\n");

	Log("\nINSTALLATION\n\tOn volume %s.\n\tIn folder %s.\n",
	    volume_name != nullptr ? volume_name : "", folder_path != nullptr ? folder_path : "");
	if (FindBool("opt_save_replaced"))
		Log("\tReplaced files moved to %s\n", saved_files_path != nullptr ? saved_files_path : "");
	Log("\n\tInstallation Started: %s\n", NowText().String());
}

void InstallConfig::LogInstallationComplete()
{
	Log("\tInstallation Complete: %s\n", NowText().String());
}
