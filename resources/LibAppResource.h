// LibAppResource: the payload store, the resources of an executable (the
// running one or one at a path) with its packed install items.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "File.h"
#include "Resources.h"

class LibAppResource : public BResources {
public:
	// Opens the running executable; mode 0 read-only, 2 read and write. A
	// running executable cannot be written on Linux: it is then read-only.
	LibAppResource(const uint32& mode);
	// The same for the executable at `path` (links followed); a path that
	// cannot be resolved leaves the store unattached and finding nothing.
	LibAppResource(const char* path, const uint32& mode);
	virtual ~LibAppResource();

	// Packs the file or folder `source` into a payload archive and stores it
	// as 'RAWT' `id` named `name` (its top-level entry bears the same name).
	bool AddEntry(const char* source, const long& id, const char* name, const int& level);
	// Places the content of 'RAWT' `id` at `destination`: unpacked from the
	// archive when `unpack`, the archive itself otherwise. Nothing
	// half-written ever lies at `destination`; false when nothing was placed.
	bool ExtractEntry(const long& id, const char* destination, bool unpack);
	// The string attribute `name` every entry the next unpacking
	// ExtractEntry places gets, as it is made (the deinstall tag); null for
	// none. It holds for that one call.
	void SetEntryTag(const char* name, const char* value);
	// Host addition: a second attribute beside that tag, for that same call.
	void SetEntryIdentity(const char* name, const char* value);
	// Host addition: a counter the next unpacking ExtractEntry adds the bytes
	// it writes to, as it goes (for a progress bar); none when null.
	void SetProgressCounter(std::atomic<int64>* written) { fWritten = written; }
	// Host addition: asked between the entries an unpacking ExtractEntry
	// writes; true stops it, placing nothing. None when empty.
	void SetStopCheck(std::function<bool()> stopped) { fStopped = std::move(stopped); }
	// Host addition: the entries of the archive the last unpacking took.
	int64 LastEntryCount() const { return fEntryCount; }
	// Host addition: called by the next unpacking ExtractEntry with the
	// unpacked entry and its destination just before it is renamed into
	// place; false stops the placing. It holds for that one call.
	using BeforePlace = std::function<bool(const std::string& unpacked, const std::string& path)>;
	void SetBeforePlace(BeforePlace hook) { fBeforePlace = std::move(hook); }
	// The 'CSTR' resource `id` as a NUL-terminated copy the caller frees
	// with free(); null when absent or empty.
	char* FindString(const long& id);

	// Host addition: the resolved path of the file, empty when unattached.
	const char* FilePath() const { return fPath.c_str(); }
	// Why the last ExtractEntry placed nothing, for the user.
	const char* ExtractError() const { return fExtractError.c_str(); }

private:
	LibAppResource(const LibAppResource&) = delete;
	LibAppResource& operator=(const LibAppResource&) = delete;

	void _Attach(const char* path, const uint32& mode);
	bool _StoreArchive(const char* archive, const long& id, const char* name);
	bool _Unpack(off_t offset, size_t size, const char* name, const std::string& work,
	             const char* destination, const std::string& tagName, const std::string& tagValue,
	             const std::string& idName, const std::string& idValue,
	             const BeforePlace& beforePlace);
	bool _CopyOut(off_t offset, size_t size, const std::string& work, const char* destination);

	BFile fFile;
	std::string fPath;
	std::string fExtractError;
	std::string fTagName;
	std::string fTagValue;
	std::string fIdName;
	std::string fIdValue;
	std::atomic<int64>* fWritten = nullptr;
	std::function<bool()> fStopped;
	int64 fEntryCount = 0;
	BeforePlace fBeforePlace;
};
