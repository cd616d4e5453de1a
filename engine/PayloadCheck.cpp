// PayloadCheck: the byte range of each payload read once, its CRC-32 compared
// with the record's; records written before digests existed are only checked
// for being whole.
#include "PayloadCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ConfigRecord.h"
#include "InstallItemRecord.h"
#include "InstallerResourceIds.h"
#include "LibAppResource.h"
#include "PayloadDigest.h"
#include "TypeConstants.h"

PayloadCheck::PayloadCheck(LibAppResource& store) : fStore(store), fFailure(), fFile(-1) {}

bool PayloadCheck::Verify(const BMessage& record)
{
	const ConfigRecord config(record);
	BMessage instructions;
	config.Instructions(&instructions);
	fFailure.clear();
	fFile = open(fStore.FilePath(), O_RDONLY | O_CLOEXEC);
	if (fFile < 0) {
		fFailure = std::string(fStore.FilePath()) + ": " + strerror(errno);
		return false;
	}
	int64 deinstallerDigest = 0;
	const bool deinstallerDigested =
	        record.FindInt64(kDeinstallerDigestField, &deinstallerDigest) == B_OK;
	bool whole = !config.IncludeDeinstall() ||
	             VerifyPayload(kDeinstallerPayloadId, "the deinstaller",
	                           deinstallerDigested ? &deinstallerDigest : nullptr);
	BMessage item;
	for (int32 i = 0; whole && instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK;
	     i++) {
		const InstallItemRecord record(item);
		if (!record.Selected())
			continue;
		const std::string what = "the item '" + record.Leaf() + "'";
		int64 digest = 0;
		const bool digested = item.FindInt64(kPayloadDigestField, &digest) == B_OK;
		whole = VerifyPayload(kFirstPayloadId + i, what, digested ? &digest : nullptr);
	}
	close(fFile);
	fFile = -1;
	return whole;
}

bool PayloadCheck::VerifyPayload(const int32& id, const std::string& what, const int64* expected)
{
	off_t offset = 0;
	size_t size = 0;
	if (fStore.GetResourceRange(B_RAW_TYPE, id, &offset, &size) != B_OK) {
		fFailure = what + ": the installer carries no payload for it";
		return false;
	}
	struct stat info;
	if (fstat(fFile, &info) != 0) {
		fFailure = std::string(fStore.FilePath()) + ": " + strerror(errno);
		return false;
	}
	if (info.st_size < offset + off_t(size)) {
		fFailure = what + ": the installer file is cut off: it has " +
		           std::to_string(info.st_size) + " bytes, the payload ends at byte " +
		           std::to_string(offset + off_t(size));
		return false;
	}
	if (expected == nullptr)
		return true;
	uint32 digest = 0;
	std::string error;
	if (payload_digest(fFile, offset, off_t(size), &digest, &error) != B_OK) {
		fFailure = what + ": " + error;
		return false;
	}
	if (digest != uint32(*expected)) {
		fFailure = what + ": its payload does not match the digest the installer was built with";
		return false;
	}
	return true;
}
