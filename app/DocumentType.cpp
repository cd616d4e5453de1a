// The type database is the one the platform keeps in the user's settings
// folder: one file per type, the preferred application in an attribute.
#include "DocumentType.h"

#include <cstring>

#include "Directory.h"
#include "File.h"
#include "FindDirectory.h"
#include "Path.h"
#include "TypeConstants.h"

status_t RegisterPreferredApp(const char* type, const char* signature)
{
	if (type == nullptr || signature == nullptr || strchr(type, '/') == nullptr)
		return B_BAD_VALUE;
	BPath path;
	status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &path, true);
	if (status != B_OK)
		return status;
	path.Append("beos_mime");
	path.Append(type);
	BPath folder;
	path.GetParent(&folder);
	if (create_directory(folder.Path(), 0755) != B_OK)
		return B_ERROR;
	BFile file(path.Path(), B_READ_WRITE | B_CREATE_FILE);
	if ((status = file.InitCheck()) != B_OK)
		return status;
	const ssize_t written = file.WriteAttr("META:PREF_APP", B_MIME_STRING_TYPE, 0, signature,
	                                       strlen(signature) + 1);
	return written < 0 ? status_t(written) : B_OK;
}
