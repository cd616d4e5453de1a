// oResources: a read view of an executable's own resources, with string
// lookup by resource name.
#pragma once

#include <string>

#include "LibString.h"
#include "Resources.h"

class oResources : public BResources {
public:
	// Attaches to the running executable, opened with `mode` (B_READ_ONLY,
	// B_READ_WRITE). Without application information it finds nothing.
	oResources(const uint32& mode);
	// Host addition: attaches to the executable at `path` (a created
	// deinstaller, a file under test) instead of the running one.
	oResources(const char* path, const uint32& mode);
	virtual ~oResources();

	// The text of the 'CSTR' resource `name`; empty when there is none.
	LibString GetString(const char* name);
	bool HasString(const char* name);

	// Host addition: the attached executable's path; null when unattached.
	const char* ExecutablePath() const;

private:
	void Attach(const char* path, const uint32& mode);

	std::string fExecutablePath;
};
