// oResources: attaching to an executable's resources and reading its strings.
#include "oResources.h"

#include <cstring>

#include "Application.h"
#include "Path.h"
#include "StorageDefs.h"
#include "TypeConstants.h"

oResources::oResources(const uint32& mode)
{
	app_info info;
	if (be_app == nullptr || be_app->GetAppInfo(&info) != B_OK)
		return;
	BPath path(&info.ref);
	if (path.InitCheck() != B_OK)
		return;
	Attach(path.Path(), mode);
}

oResources::oResources(const char* path, const uint32& mode)
{
	if (path == nullptr)
		return;
	Attach(path, mode);
}

oResources::~oResources() {}

void oResources::Attach(const char* path, const uint32& mode)
{
	const uint32 accessMode = mode & (B_WRITE_ONLY | B_READ_WRITE);
	const bool writable = accessMode != B_READ_ONLY;
	if (SetTo(path, writable, false) != B_OK)
		return;
	fExecutablePath = path;
}

LibString oResources::GetString(const char* name)
{
	if (name == nullptr || InitCheck() != B_OK)
		return LibString();
	size_t size = 0;
	const char* data = (const char*)LoadResource(B_STRING_TYPE, name, &size);
	if (data == nullptr)
		return LibString();
	// The text ends at its NUL, or at the end of a resource written without one.
	const std::string text(data, strnlen(data, size));
	return LibString(text.c_str());
}

bool oResources::HasString(const char* name)
{
	if (name == nullptr || InitCheck() != B_OK)
		return false;
	return HasResource(B_STRING_TYPE, name);
}

const char* oResources::ExecutablePath() const
{
	return fExecutablePath.empty() ? nullptr : fExecutablePath.c_str();
}
