// PayloadExtractor: unpacks a payload archive that lies in a byte range of a
// file, streaming it, into a folder. Archives are treated as hostile: every
// name is checked before anything is written, nothing is written through a
// symbolic link or outside the folder, and sizes are counted, not trusted.
// Every entry but a link leaves with a type: the one it carries, else the
// sniffed one. A large archive is unpacked on two threads.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "SupportDefs.h"

class ZipArchive;

class PayloadExtractor {
public:
	PayloadExtractor();

	// Limits against hostile archives. An entry costs the extractor about a
	// hundred bytes besides its name; the default lets an item of several
	// hundred thousand files install.
	void SetLimits(int64 maxEntries, size_t maxNameLength);
	// A string attribute every entry unpacked gets, over any it carries of
	// that name; none when `name` is empty.
	void SetTag(const std::string& name, const std::string& value);
	// A second attribute every entry gets beside the tag: the identity of
	// the installation that places it.
	void SetIdentity(const std::string& name, const std::string& value);
	// A counter the extraction adds the bytes of file data it writes to, as
	// it goes, from every thread; none when null.
	void SetProgress(std::atomic<int64>* written) { fWritten = written; }
	// Asked between entries, on the calling thread; true ends the
	// extraction with B_CANCELED. None when empty.
	void SetStopCheck(const std::function<bool()>& stopped) { fStopped = stopped; }
	// The entries of the archive last extracted, whole or not.
	int64 EntryCount() const { return fEntryCount; }

	// Unpacks the archive held in [offset, offset + size) of the file at
	// `archivePath` into the existing folder `target`. Every entry must lie
	// under the top-level name `top`. On failure the folder may hold part of
	// the archive; the caller removes it.
	status_t Extract(const char* archivePath, off_t offset, off_t size, const char* target,
	                 const char* top);
	const std::string& ErrorText() const { return fError; }

	static const int64 kDefaultMaxEntries = 1 << 20;
	static const size_t kDefaultMaxNameLength = 1024;

private:
	struct Pending {
		std::string name;
		int64 modified;
		int64 accessed;
		mode_t mode;
	};
	struct Slice;

	status_t _CheckNames(const ZipArchive& archive, const char* top);
	status_t _CheckName(const std::string& name, const char* top) const;
	std::vector<int64> _SplitPoints(const ZipArchive& archive, int slices) const;
	status_t _FinishFolders(int targetFd, std::vector<Slice>& slices);
	status_t _Fail(status_t status, const std::string& text);

	int64 fMaxEntries;
	size_t fMaxNameLength;
	std::string fTagName;
	std::string fTagValue;
	std::string fIdName;
	std::string fIdValue;
	std::string fError;
	std::atomic<int64>* fWritten = nullptr;
	std::function<bool()> fStopped;
	int64 fEntryCount = 0;
};
