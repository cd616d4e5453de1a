// oLocalize: the remembered language (attribute or settings file) and string lookup.
#include "oLocalize.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Node.h"
#include "TypeConstants.h"

namespace {

const char* const kLanguageCodes[LOCALIZE_LANGUAGE_COUNT] = {"en", "fr", "es", "de", "it",
                                                             "no", "sv", "da", "nl"};
const char* const kLanguageAttribute = "language";
// Where a file system keeps no attributes, the language lives beside the file.
const char* const kLanguageFileSuffix = ".language";
// At most this many bytes of a stored language are read.
const size_t kMaxLanguageBytes = 62;
// A resource name holds at most this many characters.
const size_t kMaxNameLength = 31;

// The stored bytes up to the first NUL.
LibString CodeFromBytes(const char* bytes, const size_t& length)
{
	const std::string code(bytes, strnlen(bytes, length));
	return LibString(code.c_str());
}

status_t ReadLanguageFile(const std::string& path, LibString& code)
{
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return errno == ENOENT ? B_ENTRY_NOT_FOUND : status_from_errno(errno);
	char buffer[kMaxLanguageBytes];
	const ssize_t bytesRead = read(fd, buffer, sizeof(buffer));
	const int error = errno;
	close(fd);
	if (bytesRead < 0)
		return status_from_errno(error);
	code = CodeFromBytes(buffer, (size_t)bytesRead);
	return B_OK;
}

// Replaces the file as a whole, so a reader never sees half a code.
status_t WriteLanguageFile(const std::string& path, const char* code)
{
	std::string temporary = path + ".XXXXXX";
	const int fd = mkstemp(temporary.data());
	if (fd < 0)
		return status_from_errno(errno);
	const size_t length = strlen(code);
	const bool written = write(fd, code, length) == (ssize_t)length;
	const int error = errno;
	if (close(fd) != 0 || !written) {
		unlink(temporary.c_str());
		return written ? B_IO_ERROR : status_from_errno(error);
	}
	if (rename(temporary.c_str(), path.c_str()) != 0) {
		const int renameError = errno;
		unlink(temporary.c_str());
		return status_from_errno(renameError);
	}
	return B_OK;
}

} // namespace

oLocalize::oLocalize() : oResources(B_READ_ONLY)
{
	ObtainLanguage();
}

oLocalize::oLocalize(const char* path) : oResources(path, B_READ_ONLY)
{
	ObtainLanguage();
}

oLocalize::~oLocalize() {}

void oLocalize::ObtainLanguage()
{
	const char* path = ExecutablePath();
	if (path == nullptr)
		return;
	LibString code;
	const status_t status = ReadLanguage(path, code);
	if (status == B_OK) {
		fLanguage = code;
		return;
	}
	// The user's locale speaks until the user picks a language; a guess is
	// not remembered.
	const char* locale = EnvironmentLanguage();
	if (status == B_ENTRY_NOT_FOUND && locale != nullptr) {
		fLanguage = locale;
		return;
	}
	// An unreadable value is left alone; only a missing one is created.
	fLanguage = "en";
	if (status == B_ENTRY_NOT_FOUND)
		WriteLanguage(path, "en");
}

void oLocalize::SetLanguage(const char* code)
{
	if (code == nullptr)
		return;
	fLanguage = code;
	const char* path = ExecutablePath();
	if (path != nullptr)
		WriteLanguage(path, code);
}

LibString oLocalize::GetString(const long& id)
{
	char name[kMaxNameLength + 1];
	const int length = snprintf(name, sizeof(name), "%s:%ld", fLanguage.String(), id);
	// A name that does not fit names no resource.
	if (length < 0 || (size_t)length > kMaxNameLength)
		return LibString();
	return oResources::GetString(name);
}

const char* oLocalize::LanguageCode(const int32& row)
{
	if (row < 0 || row >= LOCALIZE_LANGUAGE_COUNT)
		return kLanguageCodes[0];
	return kLanguageCodes[row];
}

int32 oLocalize::LanguageRow(const char* code)
{
	if (code == nullptr)
		return -1;
	for (int32 row = 0; row < LOCALIZE_LANGUAGE_COUNT; row++) {
		if (strcmp(code, kLanguageCodes[row]) == 0)
			return row;
	}
	return -1;
}

const char* oLocalize::EnvironmentLanguage()
{
	for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
		const char* value = getenv(variable);
		if (value == nullptr)
			continue;
		std::string language(value, strcspn(value, "_.@"));
		// Norwegian Bokmål and Nynorsk are both the table's Norwegian.
		if (language == "nb" || language == "nn")
			language = "no";
		const int32 row = LanguageRow(language.c_str());
		if (row >= 0)
			return kLanguageCodes[row];
	}
	return nullptr;
}

status_t oLocalize::ReadLanguage(const char* path, LibString& code)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	BNode node(path);
	if (node.InitCheck() != B_OK)
		return node.InitCheck();
	char buffer[kMaxLanguageBytes];
	const ssize_t bytesRead =
	        node.ReadAttr(kLanguageAttribute, B_STRING_TYPE, 0, buffer, sizeof(buffer));
	if (bytesRead == B_NOT_SUPPORTED)
		return ReadLanguageFile(std::string(path) + kLanguageFileSuffix, code);
	if (bytesRead < 0)
		return (status_t)bytesRead;
	code = CodeFromBytes(buffer, (size_t)bytesRead);
	return B_OK;
}

status_t oLocalize::WriteLanguage(const char* path, const char* code)
{
	if (path == nullptr || code == nullptr)
		return B_BAD_VALUE;
	BNode node(path);
	if (node.InitCheck() != B_OK)
		return node.InitCheck();
	const size_t length = strlen(code);
	const ssize_t written = node.WriteAttr(kLanguageAttribute, B_STRING_TYPE, 0, code, length);
	if (written == B_NOT_SUPPORTED)
		return WriteLanguageFile(std::string(path) + kLanguageFileSuffix, code);
	if (written < 0)
		return (status_t)written;
	return (size_t)written == length ? B_OK : B_IO_ERROR;
}
