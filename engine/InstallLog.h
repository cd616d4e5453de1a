// InstallLog: the install log of a run (its header, its lines, its end) and
// the failures it names, which the outcome reports as well.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

#include "InstallFailures.h"
#include "Message.h"
#include "SupportDefs.h"

class InstallLog {
public:
	// Writes to `stream`, which the engine keeps as its open log (null: none).
	InstallLog(FILE*& stream, InstallFailures& failures);
	InstallLog(const InstallLog&) = delete;
	InstallLog& operator=(const InstallLog&) = delete;

	// Opens `path` when the product wants a log, emptying it.
	void Open(const char* path, const bool& wanted);
	void Close();
	void Line(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void Write(const char* format, va_list args);
	// Logs "Failed: <path>: <reason>" and keeps the failure for the outcome.
	void Failure(const std::string& path, const std::string& reason);
	// The header block of `record`, from "VANTRY" through "Installation Started".
	void Header(const BMessage& record, const char* installer_version, const char* volume_name,
	            const off_t& free_bytes, const char* folder_path, const char* saved_files_path);
	void Complete();

	// Who made the installer, for the header and the startup section.
	static constexpr const char* kMakerWebAddress = "https://vantry.org";
	static constexpr const char* kMakerSupportEmail = "support@vantry.org";

private:
	FILE*& fStream;
	InstallFailures& fFailures;
};
