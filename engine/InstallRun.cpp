// The install run: requirement checks, the installation folder with its log
// and deinstaller, the items, the boot scripts, auto-launch and completion.
#include "InstallRun.h"

#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Alert.h"
#include "ConfigRecord.h"
#include "DeinstallRecords.h"
#include "Directory.h"
#include "EngineQuestion.h"
#include "Entry.h"
#include "Errors.h"
#include "FindDirectory.h"
#include "InstallPlan.h"
#include "InstallRegister.h"
#include "InstallTexts.h"
#include "LibAppResource.h"
#include "LibAppVersion.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "LibMessageBox.h"
#include "LibPathParts.h"
#include "LoginScripts.h"
#include "Path.h"
#include "PayloadCheck.h"
#include "ProtectedFolders.h"
#include "PublisherCheck.h"
#include "RecordCheck.h"
#include "ScriptEdit.h"
#include "SessionEnvironment.h"
#include "StopSignals.h"

namespace {

const char* const kLogName = "Log";
const char* const kSavedFilesName = "Saved Files";

// Failures as lines of a message box; a long list is cut after its first few.
std::string JoinLines(const std::vector<std::string>& lines)
{
	const size_t kShown = 12;
	std::string text;
	for (size_t i = 0; i < lines.size() && i < kShown; i++)
		text += (i > 0 ? "\n" : "") + lines[i];
	if (lines.size() > kShown)
		text += "\n(" + std::to_string(lines.size() - kShown) + " more)";
	return text;
}

// Whether `path` is `top` or lies below it.
bool AtOrBelow(const std::string& path, const std::string& top)
{
	return path == top || path.compare(0, top.size() + 1, top + "/") == 0;
}

// A folder name that stays inside the folder it is made in.
bool IsPlainFolderName(const char* name)
{
	return name[0] != '\0' && strchr(name, '/') == nullptr && strcmp(name, ".") != 0 &&
	       strcmp(name, "..") != 0;
}

} // namespace

status_t InstallDestinationVolume(const entry_ref& destination, BVolume& volume)
{
	BEntry folder(&destination, true);
	if (folder.InitCheck() == B_OK && folder.GetVolume(&volume) == B_OK)
		return B_OK;
	return volume.SetTo(destination.device);
}

int32 InstallConfig::Action()
{
	InstallRun run(*this);
	return run.Execute();
}

InstallRun::InstallRun(InstallConfig& config)
    : fConfig(config), fVolume(), fVolumeName(), fItemAskAgain(true), fItemAnswer(true),
      fLinkAskAgain(true), fLinkAnswer(true), fSelectedCount(0), fBegunCount(0), fPlacedBytes(0),
      fUnpackedEntries(0), fCurrentItem(-1), fHasEarlier(false)
{
}

bool InstallRun::Stopped()
{
	StopSignals::Poll();
	return thread_safe_point() != B_OK;
}

int32 InstallRun::Execute()
{
	fConfig.fFailures.Clear();
	fConfig.fEarlierReport.clear();
	fConfig.UpdateStatus("%s", InstallText(1032).String());
	int32 result = INSTALL_RUN_OVER;
	if (!CheckRequirements(result) || Stopped())
		return result;
	ReadVolume();
	fConfig.BuildProductRecord(fProductRecord);
	// Each installation is told apart from others of the same product.
	fConfig.RemoveName(DeinstallRecords::IdentityField());
	fConfig.AddString(DeinstallRecords::IdentityField(), DeinstallRecords::NewIdentity().c_str());
	if (!OpenDestination() || !ReadEarlierInstallation())
		return INSTALL_RUN_NO_FOLDER;
	// A repair keeps the installation it repairs, identity and all.
	if (Repairing()) {
		fConfig.RemoveName(DeinstallRecords::IdentityField());
		fConfig.AddString(DeinstallRecords::IdentityField(),
		                  fEarlierRecord.FindString(DeinstallRecords::IdentityField()));
	}
	// Verified before the lock, whose file alone would touch the folder.
	LibAppResource store(fConfig.PayloadSource(), B_READ_WRITE);
	if (!VerifyPayloads(store))
		return INSTALL_RUN_DAMAGED;
	if (!AcceptPublisher())
		return INSTALL_RUN_NEW_PUBLISHER;
	if (!CheckWritableFolders() || !MakeDestination())
		return INSTALL_RUN_NO_FOLDER;
	// The parent's times from before the lock file touches it.
	struct stat parent = ParentState();
	if (!LockInstallFolder())
		return RemoveMadeDestination(INSTALL_RUN_LOCKED);
	// After an undo they are those from before the killed run.
	if (UndoInterruptedRun())
		parent = ParentState();
	if (!BeginJournal(parent))
		return RemoveMadeDestination(INSTALL_RUN_NO_FOLDER);
	result = MakeChanges(store);
	if (result != kChangesMade)
		return RemoveMadeDestination(EndUndone(result));
	if (!Repairing())
		RecordInstallation();
	fConfig.Journal().Commit();
	RemoveAsideFolders();
	if (Repairing()) {
		fLock.Release();
		LibInfo("%s", JoinLines(fConfig.fEarlierReport).c_str());
		fConfig.UpdateStatus("%s",
		                     InstallText(fConfig.fFailures.Count() > 0 ? 1046 : 1037).String());
		fConfig.ReportCompleted();
		return INSTALL_RUN_OVER;
	}
	fConfig.AutoLaunch();
	if (Stopped())
		return INSTALL_RUN_OVER;
	FinishLog();
	// A run that could not do everything says so, here and at completion.
	fConfig.UpdateStatus("%s", InstallText(fConfig.fFailures.Count() > 0 ? 1046 : 1037).String());
	fConfig.ReportCompleted();
	ShowCompletion();
	return INSTALL_RUN_OVER;
}

int32 InstallRun::MakeChanges(LibAppResource& store)
{
	if (Repairing())
		return RepairChanges(store);
	if (!PutEarlierAway() || !CreateInstallFolder())
		return INSTALL_RUN_NO_FOLDER;
	if (Stopped())
		return INSTALL_RUN_OVER;
	StartLog();
	CreateDeinstaller(store);
	if (Failing())
		return INSTALL_RUN_OVER;
	ConfigRecord(fConfig).CustomFolders(&fCustomFolders);
	MakeStartupSection();
	if (Failing() || !InstallItems(store))
		return INSTALL_RUN_OVER;
	if (Upgrading())
		MergeEarlierInstallation();
	if (Failing())
		return INSTALL_RUN_OVER;
	EditBootScripts();
	if (Upgrading())
		RemoveDroppedScriptSections();
	if (Failing())
		return INSTALL_RUN_OVER;
	return kChangesMade;
}

bool InstallRun::Failing()
{
	return Stopped() || (fConfig.Journal().RollsBack() && fConfig.fFailures.Count() > 0);
}

bool InstallRun::CheckRequirements(int32& result)
{
	switch (fConfig.CheckSystemResources()) {
		case INSTALL_CHECK_CHOOSE_AGAIN: result = INSTALL_RUN_NO_SPACE; return false;
		case INSTALL_CHECK_END: result = INSTALL_RUN_OVER; return false;
		default: return true;
	}
}

void InstallRun::ReadVolume()
{
	if (InstallDestinationVolume(fConfig.destination, fVolume) != B_OK ||
	    fVolume.GetName(fVolumeName) != B_OK)
		fVolumeName[0] = '\0';
}

bool InstallRun::OpenDestination()
{
	BDirectory folder(&fConfig.destination);
	BPath path(&fConfig.destination);
	// A standard folder the installer offered is made once nothing stands
	// in the way (MakeDestination).
	const bool madeLater = fConfig.MakesDestination() && path.InitCheck() == B_OK &&
	                       folder.InitCheck() == B_ENTRY_NOT_FOUND && !LibEntryExists(path.Path());
	if (!madeLater && (folder.InitCheck() != B_OK || path.InitCheck() != B_OK)) {
		// The user must learn which folder was meant and what stands in the way.
		const status_t why = folder.InitCheck() != B_OK ? folder.InitCheck() : path.InitCheck();
		const char* named = path.InitCheck() == B_OK ? path.Path() : fConfig.destination.name;
		LibError("%s\n\n%s: %s", InstallText(1040).String(),
		         named != nullptr && named[0] != '\0' ? named : "(no folder chosen)",
		         status_text(why));
		return false;
	}
	const ConfigRecord config(fConfig);
	fInstallFolder = std::string(path.Path()) + "/" + config.CreatedFolder();
	// The folder is written into login scripts and menu entries, where a line
	// break would begin a line of its own.
	if (HasControlCharacter(fInstallFolder)) {
		LibError("The installation folder '%s' holds a control character (a line break, a "
		         "tab...), which cannot be written into a login script or a menu entry. Choose "
		         "another folder. Nothing was changed.",
		         ShownValue(fInstallFolder).c_str());
		return false;
	}
	fLogPath = fInstallFolder + "/" + kLogName;
	if (config.SaveReplaced())
		fSavedFiles = fInstallFolder + "/" + kSavedFilesName;
	return true;
}

bool InstallRun::MakeDestination()
{
	const std::string destination = LibParentOf(fInstallFolder);
	std::vector<std::string> missing;
	for (std::string folder = destination;
	     !folder.empty() && folder != "/" && !LibEntryExists(folder); folder = LibParentOf(folder))
		missing.push_back(folder);
	if (missing.empty())
		return true;
	errno = 0;
	if (!Libmkdir(destination.c_str())) {
		const int why = errno;
		LibError("%s\n\n%s: %s", InstallText(1040).String(), destination.c_str(),
		         why != 0 ? strerror(why) : "unknown error");
		return false;
	}
	fMadeFolders = missing;
	return true;
}

int32 InstallRun::RemoveMadeDestination(const int32& result)
{
	// The lock file lies in the destination; what else is there stays.
	fLock.Release();
	for (const std::string& folder : fMadeFolders) {
		if (rmdir(folder.c_str()) != 0)
			break;
	}
	fMadeFolders.clear();
	return result;
}

bool InstallRun::LockInstallFolder()
{
	pid_t holder = 0;
	const status_t status = fLock.Acquire(fInstallFolder, holder);
	if (status == B_NOT_ALLOWED) {
		LibError("The lock file '%s' of the installation folder is not a file this installer "
		         "made (a link, a folder, a file with another name or owner): nothing was "
		         "changed. Remove it, then try again.",
		         InstallLock::LockPath(fInstallFolder).c_str());
		return false;
	}
	// Without a lock file (a read-only folder) making the folder fails later.
	if (status != B_BUSY)
		return true;
	LibError("The installation folder '%s' is being installed by another installer (process "
	         "%d): nothing was changed. Try again once it has finished.",
	         fInstallFolder.c_str(), int(holder));
	return false;
}

bool InstallRun::Upgrading() const
{
	return fHasEarlier && fConfig.EarlierAction() == INSTALL_EARLIER_UPGRADE;
}

bool InstallRun::Repairing() const
{
	return fHasEarlier && fConfig.EarlierAction() == INSTALL_EARLIER_REPAIR;
}

bool InstallRun::PutEarlierAway()
{
	if (Upgrading() && fConfig.DoesDestinationExist())
		return SetEarlierAside();
	return TrashEarlierInstallation();
}

bool InstallRun::TrashEarlierInstallation()
{
	if (!fConfig.DoesDestinationExist())
		return true;
	// An earlier installation is a folder of its own, never a standard one.
	const std::string kept = StandardFolderClash(fInstallFolder, &fVolume);
	if (!kept.empty()) {
		LibError("The installation folder '%s' cannot be replaced: it %s. Nothing was changed.",
		         fInstallFolder.c_str(), kept.c_str());
		return false;
	}
	if (fConfig.Journal().Trash(fInstallFolder))
		return true;
	const int why = errno;
	LibError("The earlier installation '%s' could not be moved to the trash: %s. Nothing was "
	         "changed.",
	         fInstallFolder.c_str(), why != 0 ? strerror(why) : "unknown error");
	return false;
}

bool InstallRun::CheckWritableFolders()
{
	int error = 0;
	const std::string folder = InstallPlan(fConfig).Unwritable(error);
	if (folder.empty())
		return true;
	LibError("The installation must write into the folder '%s', which cannot be written: %s. "
	         "Nothing was changed.",
	         folder.c_str(), strerror(error));
	return false;
}

bool InstallRun::BeginJournal(const struct stat& parent)
{
	errno = 0;
	// An upgrade stopped halfway would leave the user's files set aside: it
	// is always undone.
	const status_t status = fConfig.Journal().Begin(
	        fInstallFolder, parent, ConfigRecord(fConfig).Rollback() || Upgrading());
	if (status == B_OK)
		return true;
	const int why = errno;
	const std::string journal = InstallJournal::PathFor(fInstallFolder);
	// An unwritable destination is found here, before anything is changed.
	if (status == B_FILE_EXISTS)
		LibError("The journal '%s' of an interrupted installation could not be undone: "
		         "nothing was changed. Remove what it names by hand, then the journal.",
		         journal.c_str());
	else
		LibError("%s\n\n%s: %s",
		         InstallFormat(1024 + B_PATH_NAME_LENGTH, 1041,
		                       ConfigRecord(fConfig).CreatedFolder())
		                 .c_str(),
		         LibParentOf(fInstallFolder).c_str(), why != 0 ? strerror(why) : "unknown error");
	return false;
}

bool InstallRun::UndoInterruptedRun()
{
	std::vector<std::string> problems;
	std::vector<std::string> kept;
	if (!InstallJournal::Recover(fInstallFolder, problems, nullptr, &kept))
		return false;
	if (!problems.empty())
		LibError("%s", InstallFormat(4096, 1052, JoinLines(problems).c_str()).c_str());
	else if (!kept.empty())
		LibInfo("%s", InstallFormat(4096, 1059, JoinLines(kept).c_str()).c_str());
	else
		LibInfo("%s",
		        InstallFormat(1024 + B_PATH_NAME_LENGTH, 1051, fInstallFolder.c_str()).c_str());
	return true;
}

int32 InstallRun::EndUndone(const int32& result)
{
	if (!fConfig.Journal().RollsBack()) {
		// What was placed stays, as the product asks.
		fConfig.Journal().Commit();
		return result;
	}
	const bool failed = fConfig.fFailures.Count() > 0 && !thread_should_stop();
	const std::string logCopy = failed ? KeepLogCopy() : std::string();
	fConfig.CloseLog();
	std::vector<std::string> problems;
	std::vector<std::string> kept;
	const bool changed = fConfig.Journal().HasChanges();
	// The share still to take back, for a bar that runs backwards.
	const double total = double(std::max<int64>(1, fUnpackedEntries));
	fConfig.Journal().SetUndoProgress([this, total](const int64& undone) {
		fConfig.ReportUndoProgress(float(std::max(0.0, 1 - double(undone) / total)));
	});
	fConfig.Journal().Undo(problems, &kept);
	fConfig.Journal().SetUndoProgress(nullptr);
	fLock.Release();
	fConfig.Journal().RestoreTimes();
	if (changed)
		fConfig.UpdateStatus("%s", InstallText(1049).String());
	if (!problems.empty())
		LibError("%s", InstallFormat(4096, 1052, JoinLines(problems).c_str()).c_str());
	if (!kept.empty())
		LibInfo("%s", InstallFormat(4096, 1059, JoinLines(kept).c_str()).c_str());
	if (!failed || result != INSTALL_RUN_OVER)
		return result;
	std::string text = InstallFormat(4096, 1050, JoinLines(fConfig.fFailures.Lines()).c_str());
	if (!logCopy.empty())
		text += InstallFormat(1024 + B_PATH_NAME_LENGTH, 1053, logCopy.c_str());
	LibError("%s", text.c_str());
	return INSTALL_RUN_UNDONE;
}

std::string InstallRun::KeepLogCopy()
{
	if (fConfig.log_file == nullptr)
		return std::string();
	fflush(fConfig.log_file);
	const char* folder = getenv("TMPDIR");
	std::string copy = std::string(folder != nullptr && folder[0] == '/' ? folder : "/tmp") + "/" +
	                   SafeFileName(ConfigRecord(fConfig).AppName()) + " Log XXXXXX";
	const int fd = mkstemp(copy.data());
	if (fd < 0)
		return std::string();
	close(fd);
	// The log leaves with the installation folder; the copy says what failed.
	if (!LibCopy(fLogPath.c_str(), copy.c_str())) {
		unlink(copy.c_str());
		return std::string();
	}
	return copy;
}

bool InstallRun::CreateInstallFolder()
{
	const char* name = ConfigRecord(fConfig).CreatedFolder();
	// A name with a slash or dots would put the installation elsewhere.
	if (!IsPlainFolderName(name)) {
		LibError("%s\n\nopt_created_folder \"%s\": %s",
		         InstallFormat(1024 + B_PATH_NAME_LENGTH, 1041, name).c_str(), name,
		         "a folder name may hold no '/' and be neither '.' nor '..'");
		return false;
	}
	fConfig.Journal().WillMakeFolders(fInstallFolder);
	if (mkdir(fInstallFolder.c_str(), 0777) != 0) {
		const int why = errno;
		LibError("%s\n\n%s: %s", InstallFormat(1024 + B_PATH_NAME_LENGTH, 1041, name).c_str(),
		         fInstallFolder.c_str(), strerror(why));
		return false;
	}
	if (!fSavedFiles.empty() && fConfig.Journal().WillMakeFolders(fSavedFiles))
		Libmkdir(fSavedFiles.c_str());
	return true;
}

void InstallRun::StartLog()
{
	if (!fConfig.Journal().WillWrite(fLogPath))
		fConfig.LogFailure(fLogPath, std::string("could not be recorded before it was made"));
	fConfig.OpenLog(fLogPath.c_str());
	const LibString version = LibGetAppVersion(fConfig.PayloadSource());
	fConfig.LogHeader(version.String(), fVolumeName, fVolume.FreeBytes(), fInstallFolder.c_str(),
	                  fSavedFiles.c_str());
}

bool InstallRun::AcceptPublisher()
{
	if (fConfig.NewPublisherAccepted())
		return true;
	const PublisherCheck check(fConfig, fConfig.InstallFolderPath());
	if (!check.Changed())
		return true;
	const std::string text =
	        std::string(InstallText(1076).String()) + "\n\n" + check.LocalDescription() + ".";
	BAlert* alert =
	        new BAlert("", text.c_str(), InstallText(1015).String(), InstallText(1007).String(),
	                   nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	return AskQuestion(QUESTION_PUBLISHER, alert) == 1;
}

bool InstallRun::VerifyPayloads(LibAppResource& store)
{
	PayloadCheck check(store);
	if (check.Verify(fConfig))
		return true;
	LibError("%s", InstallFormat(2048, 1048, check.Failure().c_str()).c_str());
	return false;
}

void InstallRun::CreateDeinstaller(LibAppResource& store)
{
	if (!ConfigRecord(fConfig).IncludeDeinstall())
		return;
	fConfig.CreateDeinstaller(fInstallFolder.c_str(), store, InstallLanguage().c_str());
}

void InstallRun::RecordInstallation()
{
	const ConfigRecord config(fConfig);
	if (!config.IncludeDeinstall())
		return;
	BPath trash;
	find_directory(B_TRASH_DIRECTORY, &trash, false);
	const std::string trashTop = trash.Path() != nullptr ? LibParentOf(trash.Path()) : "";
	fConfig.RemoveName(DeinstallRecords::CreatedFoldersField());
	for (const std::string& folder : fConfig.Journal().MadeFolders()) {
		// Its own folder goes with the installation; the trash stays the user's.
		if (AtOrBelow(folder, fInstallFolder) ||
		    (!trashTop.empty() && AtOrBelow(folder, trashTop)) || !LibIsFolder(folder))
			continue;
		fConfig.AddString(DeinstallRecords::CreatedFoldersField(), folder.c_str());
	}
	fManifest.WriteTo(fConfig);
	LibString path;
	fConfig.DeinstallerPath(fInstallFolder.c_str(), path);
	if (!LibEntryExists(path.String()))
		return;
	fConfig.ConfigureDeinstaller(path.String(), InstallLanguage().c_str());
	BMessage record;
	fConfig.BuildDeinstallConfig(record);
	if (!InstallRegister::Add(record, fInstallFolder, fConfig.Journal()))
		fConfig.LogFailure(InstallRegister::Folder(), std::string("could not be registered"));
}

struct stat InstallRun::ParentState() const
{
	struct stat parent;
	if (lstat(LibParentOf(fInstallFolder).c_str(), &parent) != 0)
		memset(&parent, 0, sizeof(parent));
	return parent;
}

void InstallRun::FinishLog()
{
	fConfig.LogInstallationComplete();
	fConfig.CloseLog();
	LibSetMimeType(fLogPath.c_str(), "text/plain");
}
