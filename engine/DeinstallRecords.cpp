// The deinstall tag on placed entries, and the reduced configuration and
// language written into the created deinstaller.
#include "DeinstallRecords.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "ConfigRecord.h"
#include "ConfigText.h"
#include "InstallManifest.h"
#include "InstallerResourceIds.h"
#include "LibPathParts.h"
#include "Node.h"
#include "PublisherCheck.h"
#include "RecordCheck.h"
#include "Resources.h"
#include "TypeConstants.h"
#include "oLocalize.h"

namespace {

const char* const kDeinstallTag = "InstallBy";
const char* const kIdentityAttribute = "InstallId";
const char* const kIdentityField = "install_id";
const char* const kCreatedFoldersField = "created_folder";
const char* const kConfigurationName = "VXC:configuration";
// Deeper trees than this are not real installations; the walk stops there.
const int kMaxTagDepth = 256;

// The product strings every deinstall tag and deinstaller carries.
const char* const kProductFields[] = {"app_name", "version", "release_date", "company",
                                      "support_email"};

// Writing the tag replaces any earlier one: nothing is removed first.
status_t WriteTag(const char* path, const char* value, const std::string& identity)
{
	BNode node(path);
	if (node.InitCheck() != B_OK)
		return node.InitCheck();
	ssize_t written = node.WriteAttr(kDeinstallTag, B_STRING_TYPE, 0, value, strlen(value));
	if (written >= 0 && !identity.empty())
		node.WriteAttr(kIdentityAttribute, B_STRING_TYPE, 0, identity.data(), identity.size());
	return written < 0 ? (status_t)written : B_OK;
}

// Tags what lies in the open folder `folderFd` (taken over) at `path`,
// each entry through a descriptor opened relative to its folder; links
// keep their attributes on their folder and go by path.
void TagChildren(int folderFd, const std::string& path, const char* value,
                 const std::string& identity, int depth)
{
	DIR* folder = fdopendir(folderFd);
	if (folder == nullptr) {
		close(folderFd);
		return;
	}
	const size_t length = strlen(value);
	while (const dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		const std::string child = path + "/" + entry->d_name;
		unsigned char type = entry->d_type;
		struct stat info;
		if (type == DT_UNKNOWN &&
		    fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
			type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_LNK;
		if (type != DT_DIR && type != DT_REG) {
			WriteTag(child.c_str(), value, identity);
			continue;
		}
		const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
		                  (type == DT_DIR ? O_DIRECTORY : 0);
		const int fd = openat(dirfd(folder), entry->d_name, flags);
		// An entry it cannot open is tagged by path, as before.
		if (fd < 0) {
			WriteTag(child.c_str(), value, identity);
			continue;
		}
		BNode::WriteNewAttr(fd, kDeinstallTag, B_STRING_TYPE, value, length);
		if (!identity.empty())
			BNode::WriteNewAttr(fd, kIdentityAttribute, B_STRING_TYPE, identity.data(),
			                    identity.size());
		if (type == DT_DIR && depth < kMaxTagDepth)
			TagChildren(fd, child, value, identity, depth + 1);
		else
			close(fd);
	}
	closedir(folder);
}

// Adds a bool option and, when it is on, the tag that goes with it.
void CopyScriptOption(const BMessage& from, BMessage& to, const char* option, const char* tag)
{
	const bool on = from.FindBool(option);
	to.AddBool(option, on);
	if (on)
		to.AddString(tag, ConfigText(from, tag));
}

} // namespace

DeinstallRecords::DeinstallRecords(const BMessage& record) : fRecord(record) {}

void DeinstallRecords::ProductRecord(LibString& record) const
{
	record = ConfigRecord(fRecord).ProductRecord().c_str();
}

const char* DeinstallRecords::TagName()
{
	return kDeinstallTag;
}

const char* DeinstallRecords::IdentityName()
{
	return kIdentityAttribute;
}

const char* DeinstallRecords::IdentityField()
{
	return kIdentityField;
}

const char* DeinstallRecords::CreatedFoldersField()
{
	return kCreatedFoldersField;
}

std::string DeinstallRecords::NewIdentity()
{
	unsigned char bits[16] = {};
	size_t got = 0;
	while (got < sizeof(bits)) {
		const ssize_t done = getrandom(bits + got, sizeof(bits) - got, 0);
		if (done <= 0 && errno != EINTR)
			break;
		got += done > 0 ? size_t(done) : 0;
	}
	static const char kDigits[] = "0123456789abcdef";
	std::string text;
	for (const unsigned char bit : bits) {
		text += kDigits[bit >> 4];
		text += kDigits[bit & 15];
	}
	return text;
}

void DeinstallRecords::AddTag(const char* path, const char* value, const std::string& identity)
{
	if (path == nullptr || value == nullptr)
		return;
	TagNode(path, value, identity, 0);
}

void DeinstallRecords::TagNode(const char* path, const char* value, const std::string& identity,
                               int depth)
{
	// A volume without attributes takes no tag anywhere below either; links
	// are tagged, never walked through.
	if (WriteTag(path, value, identity) == B_NOT_SUPPORTED || depth >= kMaxTagDepth ||
	    !LibIsFolderEntry(path))
		return;
	const int fd = open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	if (fd >= 0)
		TagChildren(fd, path, value, identity, depth + 1);
}

void DeinstallRecords::BuildConfig(BMessage& config) const
{
	config.MakeEmpty();
	config.what = 0;
	for (const char* field : kProductFields)
		config.AddString(field, ConfigText(fRecord, field));
	BMessage image;
	if (fRecord.FindMessage("about_image", &image) == B_OK)
		config.AddMessage("about_image", &image);
	const char* identity = fRecord.FindString(kIdentityField);
	if (identity != nullptr)
		config.AddString(kIdentityField, identity);
	const char* folder = nullptr;
	for (int32 i = 0; (folder = fRecord.FindString(kCreatedFoldersField, i)) != nullptr; i++)
		config.AddString(kCreatedFoldersField, folder);
	const char* entry = nullptr;
	for (int32 i = 0; (entry = fRecord.FindString(InstallManifest::Field(), i)) != nullptr; i++)
		config.AddString(InstallManifest::Field(), entry);
	CopyScriptOption(fRecord, config, "edit_bootscript", "edit_bootscript_tag");
	CopyScriptOption(fRecord, config, "edit_setup_env", "edit_setup_env_tag");
	CopyScriptOption(fRecord, config, "edit_profile", "edit_profile_tag");
	PublisherCheck::AddPublisher(config);
}

status_t DeinstallRecords::Configure(const char* path, const char* language) const
{
	if (path == nullptr)
		return B_BAD_VALUE;
	BMessage config;
	BuildConfig(config);
	std::string flattened;
	status_t status = config.Flatten(&flattened);
	if (status != B_OK)
		return status;
	{
		BResources resources(path, true);
		if ((status = resources.InitCheck()) != B_OK)
			return status;
		status = resources.AddResource(B_STRING_TYPE, kConfigurationResourceId, flattened.data(),
		                               flattened.size(), kConfigurationName);
		if (status != B_OK)
			return status;
		if ((status = resources.Sync()) != B_OK)
			return status;
	}
	// After the resources: their rewrite replaces the file and its attributes.
	return oLocalize::WriteLanguage(path, language != nullptr ? language : "en");
}

void DeinstallRecords::DeinstallerPath(const char* install_folder, LibString& path) const
{
	// The product's name may hold "/" ("AC/DC"): the file gets a safe leaf.
	const ConfigRecord config(fRecord);
	const std::string leaf =
	        std::string(config.AppName()) + " " + config.Version() + " Deinstaller";
	path = install_folder != nullptr ? install_folder : "";
	path += "/";
	path += SafeFileName(leaf.c_str()).c_str();
}
