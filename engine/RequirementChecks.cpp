// The requirement checks, in the order the product's needs are told.
#include "RequirementChecks.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Alert.h"
#include "ConfigRecord.h"
#include "EngineQuestion.h"
#include "InstallConfig.h"
#include "InstallItemRecord.h"
#include "InstallRun.h"
#include "InstallTexts.h"
#include "LibAppResource.h"
#include "LibBytes.h"
#include "LibFile.h"
#include "LibMessageBox.h"
#include "LibRoster.h"
#include "LibSysInfo.h"
#include "Path.h"
#include "PayloadSpace.h"
#include "TypeConstants.h"
#include "Volume.h"

namespace {

// Room for a requirement alert's text, terminator included.
const size_t kAlertTextSize = 256;

// "requires" for a requirement, "suggests" for a suggestion.
LibString Wording(const bool& required)
{
	return InstallText(required ? 1023 : 1024);
}

// The free space of the destination volume, with its name.
struct FreeSpace {
	off_t bytes = 0;
	char volumeName[B_FILE_NAME_LENGTH] = "";
	LibString text;
};

FreeSpace ReadFreeSpace(const entry_ref& destination)
{
	FreeSpace space;
	BVolume volume;
	if (InstallDestinationVolume(destination, volume) == B_OK) {
		space.bytes = volume.FreeBytes();
		volume.GetName(space.volumeName);
	}
	LibBytesToString(int64(space.bytes), space.text, 1);
	return space;
}

void ShowDiskShortage(const bool& required, const int64& amount, const FreeSpace& space)
{
	LibString amountText;
	LibBytesToString(amount, amountText, 1);
	LibError("%s", InstallFormat(1024 + B_FILE_NAME_LENGTH, 1045, Wording(required).String(),
	                             amountText.String(), space.volumeName, space.text.String())
	                       .c_str());
}

// The alert for a missing library or application: Abort, and Continue only
// when the requirement is a suggestion. True when the user goes on.
bool AskToContinue(const std::string& text, const bool& required)
{
	const LibString abort = InstallText(1011);
	const LibString goOn = InstallText(1028);
	BAlert* alert = new BAlert("", text.c_str(), abort.String(), required ? nullptr : goOn.String(),
	                           nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	return AskQuestion(QUESTION_REQUIREMENT, alert) == 1;
}

// The text between the first "(" and the next ")", empty without them.
std::string SignatureOf(const char* name)
{
	const char* open = strchr(name, '(');
	const char* close = open != nullptr ? strchr(open + 1, ')') : nullptr;
	if (close == nullptr)
		return std::string();
	return std::string(open + 1, close);
}

// The bytes a requirement's "value" asks for: truncated, never below 0 and
// never past what a 64-bit count holds (a double that large would overflow).
int64 AmountInBytes(const double& value)
{
	if (!(value > 0))
		return 0;
	if (value >= 9223372036854775807.0)
		return INT64_MAX;
	return int64(value);
}

// What the selected items' archives will write, from their directories; an
// archive that cannot be read counts nothing here (extraction then fails).
int64 ArchivedSize(const BMessage& config, const char* payloads)
{
	BMessage instructions;
	ConfigRecord(config).Instructions(&instructions);
	LibAppResource store(payloads, B_READ_ONLY);
	BMessage item;
	int64 total = 0;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++) {
		if (!InstallItemRecord(item).Selected())
			continue;
		off_t offset = 0;
		size_t size = 0;
		int64 unpacked = 0;
		if (store.GetResourceRange(B_RAW_TYPE, kFirstPayloadId + i, &offset, &size) != B_OK ||
		    PayloadUnpackedSize(store.FilePath(), offset, off_t(size), unpacked) != B_OK)
			continue;
		total = unpacked > INT64_MAX - total ? INT64_MAX : total + unpacked;
	}
	return total;
}

} // namespace

RequirementChecks::RequirementChecks(const BMessage& record, const entry_ref& destination,
                                     const int64& selected_size, const char* payloads)
    : fRecord(record), fDestination(destination), fSelectedSize(selected_size),
      fPayloads(payloads != nullptr ? payloads : "")
{
}

int32 RequirementChecks::Run() const
{
	const ConfigRecord config(fRecord);
	const FreeSpace space = ReadFreeSpace(fDestination);

	// The record's sizes and what the archives hold: the larger counts.
	const int64 selected = std::max(fSelectedSize, ArchivedSize(fRecord, fPayloads.c_str()));
	if (selected > int64(space.bytes)) {
		ShowDiskShortage(true, selected, space);
		return INSTALL_CHECK_CHOOSE_AGAIN;
	}

	if (config.DiskSpaceNeeded()) {
		const int64 amount = AmountInBytes(config.DiskSpaceAmount());
		if (amount > int64(space.bytes)) {
			const bool required = config.DiskSpaceRequired();
			ShowDiskShortage(required, amount, space);
			// A suggestion is shown, and the checks after it still run.
			if (required)
				return INSTALL_CHECK_CHOOSE_AGAIN;
		}
	}

	if (config.RamNeeded()) {
		const int32 needed = config.RamAmount();
		const int32 available = LibSysInfo().ramMB;
		if (needed > available) {
			const bool required = config.RamRequired();
			LibError("%s",
			         InstallFormat(1024, 1044, Wording(required).String(), int(needed),
			                       int(available), InstallText(required ? 1021 : 1022).String())
			                 .c_str());
			if (required)
				return INSTALL_CHECK_END;
		}
	}

	bool librariesRequired = false;
	for (const std::string& library : config.SharedLibraries(librariesRequired)) {
		BPath found;
		if (LibFindEnvFile("LIBRARY_PATH", library.c_str(), found))
			continue;
		const std::string text = InstallFormat(kAlertTextSize, 1043, library.c_str(),
		                                       Wording(librariesRequired).String());
		if (!AskToContinue(text, librariesRequired))
			return INSTALL_CHECK_END;
	}

	bool applicationsRequired = false;
	const LibRoster roster;
	for (const std::string& application : config.Applications(applicationsRequired)) {
		entry_ref ref;
		if (roster.FindApp(SignatureOf(application.c_str()).c_str(), &ref) == B_OK)
			continue;
		const std::string text = InstallFormat(kAlertTextSize, 1031, application.c_str(),
		                                       Wording(applicationsRequired).String());
		if (!AskToContinue(text, applicationsRequired))
			return INSTALL_CHECK_END;
	}
	return INSTALL_CHECK_GO_ON;
}
