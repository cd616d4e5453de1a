// PayloadPacker: packs a file or folder into a ZIP archive with the payload
// layout: deflated files, stored folders and links, and on every entry the
// time, owner and attribute extra fields.
#pragma once

#include <deque>
#include <string>

#include "SupportDefs.h"

typedef struct zip zip_t;

class PayloadPacker {
public:
	// `level` is the deflate level, 0 to 9.
	explicit PayloadPacker(int32 level = 6);

	// Packs the entry at `source` under the top-level name `name` into a new
	// archive at `archive`, replacing any file there.
	status_t Pack(const char* source, const char* name, const char* archive);
	const std::string& ErrorText() const { return fError; }

private:
	status_t _AddTree(const std::string& path, const std::string& name);
	status_t _AddEntry(const std::string& path, const std::string& name);
	status_t _SetFields(int64 index, const std::string& path, const struct stat& st);
	status_t _Fail(status_t status, const std::string& text);

	int32 fLevel;
	zip_t* fArchive;
	std::deque<std::string> fLinkTargets; // alive until the archive is closed
	std::string fError;
};
