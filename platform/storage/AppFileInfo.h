// BAppFileInfo: an executable's signature, launch flags, version and
// supported types, kept as resources of the file and as its attributes.
#pragma once

#include <memory>
#include <string>

#include "NodeInfo.h"
#include "Resources.h"

class BFile;
class BMessage;

enum version_kind {
	B_APP_VERSION_KIND = 0,
	B_SYSTEM_VERSION_KIND = 1,
};

// Stored in native byte order, 340 bytes; the app record comes first.
struct version_info {
	uint32 major;
	uint32 middle;
	uint32 minor;
	uint32 variety;
	uint32 internal;
	char short_info[64];
	char long_info[256];
};

enum info_location {
	B_USE_ATTRIBUTES = 0x1,
	B_USE_RESOURCES = 0x2,
	B_USE_BOTH_LOCATIONS = 0x3,
};

class BAppFileInfo : public BNodeInfo {
public:
	BAppFileInfo();
	explicit BAppFileInfo(BFile* file);
	virtual ~BAppFileInfo();

	// Reads go to the attributes first, then the resources. Writing needs a
	// file opened for writing; the resources reach the file when this object
	// is destroyed or set to another file (the file is then replaced on disk,
	// so open a new BFile to read it back).
	status_t SetTo(BFile* file);
	status_t InitCheck() const;

	// `signature` holds B_MIME_TYPE_LENGTH bytes. Null removes it.
	status_t GetSignature(char* signature) const;
	status_t SetSignature(const char* signature);

	status_t GetAppFlags(uint32* flags) const;
	status_t SetAppFlags(uint32 flags);

	status_t GetVersionInfo(version_info* info, version_kind kind) const;
	status_t SetVersionInfo(const version_info* info, version_kind kind);

	// A message with one "types" string per supported MIME type. Null removes.
	status_t GetSupportedTypes(BMessage* types) const;
	status_t SetSupportedTypes(const BMessage* types);
	bool IsSupportedType(const char* type) const;

	void SetInfoLocation(info_location location);
	bool IsUsingAttributes() const;
	bool IsUsingResources() const;

	// Host addition: writes pending resource changes now.
	status_t Sync();

private:
	BAppFileInfo(const BAppFileInfo&) = delete;
	BAppFileInfo& operator=(const BAppFileInfo&) = delete;

	status_t _Read(const char* name, type_code type, int32 id, std::string* data) const;
	status_t _Write(const char* name, type_code type, int32 id, const void* data, size_t size);
	status_t _Remove(const char* name, type_code type, int32 id);

	status_t fStatus;
	std::string fPath;
	mutable BResources fResources;
	info_location fLocation;
};
