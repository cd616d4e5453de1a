// InstallConfig: the install engine, at once the configuration record (a
// message) and the install thread, with its status messages. Its operations
// hand their work to named collaborators: InstallLog, RequirementChecks,
// DestinationResolver, CollisionPolicy, DeinstallRecords, and for the run
// InstallRun, InstallPlan and InstallJournal.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "EntryRef.h"
#include "FindDirectory.h"
#include "InstallFailures.h"
#include "InstallJournal.h"
#include "InstallLog.h"
#include "LibString.h"
#include "LibThread.h"
#include "Message.h"
#include "SupportDefs.h"

class BPath;
class CollisionPolicy;
class DeinstallRecords;
class DestinationResolver;
class BVolume;
class LibAppResource;

// The status-update message, with the string "message".
enum { INSTALL_STATUS_UPDATE = 'isud' };

// Progress of a run: int64 "placed", the bytes of the items placed so far.
enum { INSTALL_PROGRESS = 'ispr' };

// The run is complete and kept, so there is nothing left to stop; sent
// before the completion message is shown.
enum { INSTALL_COMPLETED = 'iscp' };

// An undo under way: float "left", the share of the run's changes still to
// take back (1 when it begins, 0 when done).
enum { INSTALL_UNDO_PROGRESS = 'isun' };

// Results of Action(), the "status" of the thread-change message.
enum {
	INSTALL_RUN_OVER = 0,
	INSTALL_RUN_NO_FOLDER = 1,
	INSTALL_RUN_NO_SPACE = 3,
	// Another run holds the installation folder's lock.
	INSTALL_RUN_LOCKED = 4,
	// A payload is cut off or does not match its digest; nothing was changed.
	INSTALL_RUN_DAMAGED = 5,
	// A step failed and every change of the run was undone.
	INSTALL_RUN_UNDONE = 6,
	// The earlier installation's publisher signed it; this installer is not
	// theirs, and the user did not accept it. Nothing was changed.
	INSTALL_RUN_NEW_PUBLISHER = 7,
};

// What the run does with an earlier installation of the same product in the
// installation folder.
enum {
	// Moves the whole earlier installation to the trash.
	INSTALL_EARLIER_REPLACE = 0,
	// Installs over it, keeping what the user changed or added.
	INSTALL_EARLIER_UPGRADE = 1,
	// Puts back what is missing or changed of it; nothing else.
	INSTALL_EARLIER_REPAIR = 2,
};

// Results of CheckSystemResources().
enum {
	INSTALL_CHECK_GO_ON = 1,
	INSTALL_CHECK_CHOOSE_AGAIN = 2,
	INSTALL_CHECK_END = 3,
};

class InstallConfig : public BMessage, public LibThread {
public:
	InstallConfig();
	~InstallConfig() override;
	// Its collaborators hold references into it.
	InstallConfig(const InstallConfig&) = delete;
	InstallConfig& operator=(const InstallConfig&) = delete;

	// The install run.
	int32 Action() override;
	void PrintToStream() override;

	// Status and log.
	void UpdateStatus(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void ReportProgress(const int64& placed);
	void ReportCompleted();
	void ReportUndoProgress(const float& left);
	void OpenLog(const char* path);
	void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void CloseLog();
	// The header block, from "VANTRY" through "Installation Started".
	void LogHeader(const char* installer_version, const char* volume_name, const off_t& free_bytes,
	               const char* folder_path, const char* saved_files_path);
	void LogInstallationComplete();

	// Items and destinations.
	int32 GetFileSize(const char* leaf);
	// The sum of GetFileSize over the selected items, without overflow.
	int64 GetSelectedSize();
	void MarkInstallFile(const char* leaf, const bool& install);
	bool MatchType(const char* type_name, const char* leaf);
	// Leaves `path` empty when the name is neither a custom nor a standard
	// folder: the item then stays in the installation folder.
	void GetNewPath(const char* destination_name, BMessage& custom_folders, BVolume& volume,
	                const char* saved_files_path, LibString& path);
	bool DoesDestinationExist();
	// The folder GetNewPath will give `destination_name`, found without
	// changing anything; `replaced` tells whether the run replaces it whole.
	std::string PlannedFolder(const char* destination_name, BMessage& custom_folders,
	                          BVolume& volume, bool& replaced);
	// The destination with opt_created_folder appended; empty without either.
	std::string InstallFolderPath();

	// Requirement checks.
	int32 CheckSystemResources();

	// Script sections.
	void BuildStartupString(const char* folder_path, char* text);
	// Room BuildStartupString needs for `folder_path`, terminator included.
	static size_t StartupStringSize(const char* folder_path);

	// Deinstaller and deinstall records.
	void BuildProductRecord(LibString& record);
	void AddDeinstallTag(const char* path, const char* value);
	// The attribute the deinstall tag is, for entries tagged as they are made.
	static const char* DeinstallTagName();
	void BuildDeinstallConfig(BMessage& config);
	// The deinstaller's path in the installation folder.
	void DeinstallerPath(const char* install_folder, LibString& path);
	// Places the deinstaller carried as payload 2001 and configures it.
	void CreateDeinstaller(const char* install_folder, LibAppResource& resources,
	                       const char* language);
	// Writes the reduced configuration and the language into the deinstaller.
	status_t ConfigureDeinstaller(const char* path, const char* language);

	// Collisions.
	bool ReplaceControl(const char* folder, const BPath& item, const char* rule, bool& ask_again,
	                    bool& remembered_answer, const BPath& saved_files);

	// Completion.
	void AutoLaunch();

	// Who made the installer, for the log header and the startup section.
	static constexpr const char* kMakerWebAddress = InstallLog::kMakerWebAddress;
	static constexpr const char* kMakerSupportEmail = InstallLog::kMakerSupportEmail;
	// Where the run reads its payloads and its version: the running
	// executable unless a path is set (tests install from an installer file
	// they do not run).
	void SetPayloadSource(const char* path);
	const char* PayloadSource() const;

	// The longest status text, terminator included.
	static constexpr size_t kStatusSize = 100;

	// Logs "Failed: <path>: <reason>" and keeps the failure for the outcome.
	void LogFailure(const std::string& path, const std::string& reason);
	void LogFailure(const std::string& path, const int& error);

	FILE* log_file;
	entry_ref destination;
	bool restart_requested;

	// What the front end chose for the run, set before it starts.
	// The destination is the standard folder the installer offered, not one
	// the user named: the run makes it when it is missing.
	void SetMakeDestination(const bool& make) { fMakeDestination = make; }
	bool MakesDestination() const { return fMakeDestination; }
	// A new publisher was accepted beforehand (--allow-new-publisher): the run does not ask.
	void AcceptNewPublisher(const bool& accepted) { fNewPublisherAccepted = accepted; }
	bool NewPublisherAccepted() const { return fNewPublisherAccepted; }
	// One of INSTALL_EARLIER_.
	void SetEarlierAction(const int32& action) { fEarlierAction = action; }
	int32 EarlierAction() const { return fEarlierAction; }

	// What the last run did, for the front end once it is over: what an
	// upgrade kept or moved and a repair put back, one line each ("kept:
	// PATH ..."), and what it could not do.
	const std::vector<std::string>& EarlierReport() const { return fEarlierReport; }
	const InstallFailures& Failures() const { return fFailures; }
	// The changes of the running run, for its steps to journal before they act.
	InstallJournal& Journal() { return fJournal; }

private:
	// The run keeps its report and failures here.
	friend class InstallRun;

	bool FindInstallFile(const char* leaf, BMessage& instructions, BMessage& item, int32& index);

	bool fMakeDestination = false;
	bool fNewPublisherAccepted = false;
	int32 fEarlierAction = INSTALL_EARLIER_REPLACE;
	std::vector<std::string> fEarlierReport;
	InstallFailures fFailures;
	InstallJournal fJournal;
	InstallLog fLog;
	std::string fPayloadSource;
	// Made once, on this object's record, destination, log and journal.
	std::unique_ptr<DestinationResolver> fResolver;
	std::unique_ptr<CollisionPolicy> fCollisions;
	std::unique_ptr<DeinstallRecords> fRecords;
};
