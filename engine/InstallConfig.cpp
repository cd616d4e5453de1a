// InstallConfig: construction, the status-update message, and the log
// operations, which its InstallLog carries out.
#include "InstallConfig.h"

#include <cstdarg>
#include <cstring>

#include "CollisionPolicy.h"
#include "ConfigRecord.h"
#include "DeinstallRecords.h"
#include "DestinationResolver.h"
#include "InstallItemRecord.h"
#include "Messenger.h"
#include "RequirementChecks.h"
#include "TextCut.h"

InstallConfig::InstallConfig()
    : BMessage(), LibThread(), log_file(nullptr), destination(), restart_requested(false),
      fLog(log_file, fFailures),
      fResolver(std::make_unique<DestinationResolver>(*this, destination, fLog, fJournal)),
      fCollisions(std::make_unique<CollisionPolicy>(*this, fLog, fJournal)),
      fRecords(std::make_unique<DeinstallRecords>(*this))
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
	if (!ConfigRecord(*this).Instructions(&instructions))
		return;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++)
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

void InstallConfig::ReportCompleted()
{
	if (target == nullptr)
		return;
	BMessage message(INSTALL_COMPLETED);
	target->SendMessage(&message, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
}

void InstallConfig::ReportUndoProgress(const float& left)
{
	if (target == nullptr)
		return;
	BMessage message(INSTALL_UNDO_PROGRESS);
	message.AddFloat("left", left);
	target->SendMessage(&message, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
}

void InstallConfig::OpenLog(const char* path)
{
	fLog.Open(path, ConfigRecord(*this).LogWanted());
}

void InstallConfig::Log(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	fLog.Write(format, args);
	va_end(args);
}

void InstallConfig::LogFailure(const std::string& path, const std::string& reason)
{
	fLog.Failure(path, reason);
}

void InstallConfig::LogFailure(const std::string& path, const int& error)
{
	fLog.Failure(path, std::string(error != 0 ? strerror(error) : "unknown error"));
}

void InstallConfig::CloseLog()
{
	fLog.Close();
}

void InstallConfig::LogHeader(const char* installer_version, const char* volume_name,
                              const off_t& free_bytes, const char* folder_path,
                              const char* saved_files_path)
{
	fLog.Header(*this, installer_version, volume_name, free_bytes, folder_path, saved_files_path);
}

void InstallConfig::LogInstallationComplete()
{
	fLog.Complete();
}

void InstallConfig::SetPayloadSource(const char* path)
{
	fPayloadSource = path != nullptr ? path : "";
}

const char* InstallConfig::PayloadSource() const
{
	return fPayloadSource.empty() ? "/proc/self/exe" : fPayloadSource.c_str();
}

int32 InstallConfig::CheckSystemResources()
{
	return RequirementChecks(*this, destination, GetSelectedSize(), PayloadSource()).Run();
}

void InstallConfig::GetNewPath(const char* destination_name, BMessage& custom_folders,
                               BVolume& volume, const char* saved_files_path, LibString& path)
{
	fResolver->NewPath(destination_name, custom_folders, volume, saved_files_path, path);
}

std::string InstallConfig::PlannedFolder(const char* destination_name, BMessage& custom_folders,
                                         BVolume& volume, bool& replaced)
{
	return fResolver->PlannedFolder(destination_name, custom_folders, volume, replaced);
}

std::string InstallConfig::InstallFolderPath()
{
	return fResolver->InstallFolderPath();
}

bool InstallConfig::DoesDestinationExist()
{
	return fResolver->InstallFolderExists();
}

bool InstallConfig::ReplaceControl(const char* folder, const BPath& item, const char* rule,
                                   bool& ask_again, bool& remembered_answer,
                                   const BPath& saved_files)
{
	return fCollisions->Settle(folder, item, rule, ask_again, remembered_answer, saved_files);
}

void InstallConfig::BuildProductRecord(LibString& record)
{
	fRecords->ProductRecord(record);
}

const char* InstallConfig::DeinstallTagName()
{
	return DeinstallRecords::TagName();
}

void InstallConfig::AddDeinstallTag(const char* path, const char* value)
{
	const char* identity = FindString(DeinstallRecords::IdentityField());
	DeinstallRecords::AddTag(path, value, identity != nullptr ? identity : "");
}

void InstallConfig::BuildDeinstallConfig(BMessage& config)
{
	fRecords->BuildConfig(config);
}

void InstallConfig::DeinstallerPath(const char* install_folder, LibString& path)
{
	fRecords->DeinstallerPath(install_folder, path);
}

status_t InstallConfig::ConfigureDeinstaller(const char* path, const char* language)
{
	return fRecords->Configure(path, language);
}
