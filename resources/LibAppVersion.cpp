// Reading and writing an executable's version, supported types and signature.
#include "LibAppVersion.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "AppFileInfo.h"
#include "File.h"
#include "Message.h"
#include "Mime.h"
#include "MimeType.h"
#include "Path.h"

namespace {

const char* kRunningExecutable = "/proc/self/exe";
const char* kVarietyWords[] = {" Dev", " Alpha", " Beta", " Gamma", " Gold", ""};

void copy_text(char* to, size_t room, const char* text)
{
	memset(to, 0, room);
	if (text != nullptr)
		strncpy(to, text, room - 1);
}

// The entry's type: its type attribute, else what its content suggests.
std::string type_of(const entry_ref& ref)
{
	BNode node(&ref);
	BNodeInfo info(&node);
	char type[B_MIME_TYPE_LENGTH] = {};
	if (info.InitCheck() == B_OK && info.GetType(type) == B_OK)
		return type;
	BPath path(&ref);
	std::string sniffed;
	if (path.InitCheck() == B_OK && sniff_mime_type(path.Path(), &sniffed) == B_OK)
		return sniffed;
	return std::string();
}

} // namespace

bool LibSetAppVersion(const unsigned long& major, const unsigned long& middle,
                      const unsigned long& minor, const char* shortText, const char* longText,
                      const unsigned long& variety, const unsigned long& internal)
{
	return LibSetAppVersion(kRunningExecutable, major, middle, minor, shortText, longText, variety,
	                        internal);
}

bool LibSetAppVersion(const char* path, const unsigned long& major, const unsigned long& middle,
                      const unsigned long& minor, const char* shortText, const char* longText,
                      const unsigned long& variety, const unsigned long& internal)
{
	BFile file(path, B_READ_WRITE);
	if (file.InitCheck() != B_OK)
		return false;
	version_info version = {};
	version.major = major;
	version.middle = middle;
	version.minor = minor;
	version.variety = variety;
	version.internal = internal;
	copy_text(version.short_info, sizeof(version.short_info), shortText);
	copy_text(version.long_info, sizeof(version.long_info), longText);
	BAppFileInfo info(&file);
	return info.InitCheck() == B_OK && info.SetVersionInfo(&version, B_APP_VERSION_KIND) == B_OK &&
	       info.Sync() == B_OK;
}

LibString LibGetAppVersion(const char* path)
{
	BFile file(path != nullptr ? path : kRunningExecutable, B_READ_ONLY);
	BAppFileInfo info(&file);
	version_info version;
	if (file.InitCheck() != B_OK || info.InitCheck() != B_OK ||
	    info.GetVersionInfo(&version, B_APP_VERSION_KIND) != B_OK)
		return LibString();
	char text[96];
	int length =
	        snprintf(text, sizeof(text), "%u.%u.%u", version.major, version.middle, version.minor);
	if (version.variety < 6)
		length += snprintf(text + length, sizeof(text) - length, "%s",
		                   kVarietyWords[version.variety]);
	if (version.internal != 0)
		snprintf(text + length, sizeof(text) - length, " %u", version.internal);
	return LibString(text);
}

int32 LibGetAppSupportedTypes(LibStringList& out)
{
	return LibGetAppSupportedTypes(kRunningExecutable, out);
}

int32 LibGetAppSupportedTypes(const char* path, LibStringList& out)
{
	BFile file(path, B_READ_ONLY);
	BAppFileInfo info(&file);
	BMessage types;
	if (file.InitCheck() != B_OK || info.InitCheck() != B_OK ||
	    info.GetSupportedTypes(&types) != B_OK)
		return 0;
	out.Append(types, "types");
	return out.Size();
}

bool LibSetAppSupportedTypes(LibStringList& in)
{
	return LibSetAppSupportedTypes(kRunningExecutable, in);
}

bool LibSetAppSupportedTypes(const char* path, LibStringList& in)
{
	BFile file(path, B_READ_WRITE);
	if (file.InitCheck() != B_OK)
		return false;
	BMessage types;
	in.GetFrom(types, "types");
	BAppFileInfo info(&file);
	return info.InitCheck() == B_OK && info.SetSupportedTypes(&types) == B_OK &&
	       info.Sync() == B_OK;
}

void LibGetAppSignature(const entry_ref& ref, char* out)
{
	if (out == nullptr)
		return;
	out[0] = '\0';
	if (type_of(ref) != B_ELF_APP_MIME_TYPE)
		return;
	BFile file(&ref, B_READ_ONLY);
	BAppFileInfo info(&file);
	char signature[B_MIME_TYPE_LENGTH] = {};
	if (file.InitCheck() == B_OK && info.InitCheck() == B_OK &&
	    info.GetSignature(signature) == B_OK)
		strcpy(out, signature);
}
