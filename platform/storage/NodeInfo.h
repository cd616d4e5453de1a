// BNodeInfo: a node's MIME type, icons, preferred application and app hint,
// kept in its BEOS:* attributes.
#pragma once

#include "Mime.h"
#include "StorageDefs.h"

class BNode;

class BNodeInfo {
public:
	BNodeInfo();
	explicit BNodeInfo(BNode* node);
	virtual ~BNodeInfo();

	// The node is not owned; it must outlive this object.
	status_t SetTo(BNode* node);
	status_t InitCheck() const { return fStatus; }

	// `type` holds B_MIME_TYPE_LENGTH bytes; B_ENTRY_NOT_FOUND for an untyped node.
	status_t GetType(char* type) const;
	// Null removes the type.
	status_t SetType(const char* type);

	// The icon as CMAP8 index bytes: 32x32 (1024) for B_LARGE_ICON, 16x16
	// (256) for B_MINI_ICON, row-major, 0xFF transparent. Null removes it.
	status_t GetIconBits(uint8* bits, icon_size which = B_LARGE_ICON) const;
	status_t SetIconBits(const uint8* bits, icon_size which = B_LARGE_ICON);

	// `signature` holds B_MIME_TYPE_LENGTH bytes. Null removes it.
	status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
	status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);

	status_t GetAppHint(entry_ref* ref) const;
	// Null removes the hint.
	status_t SetAppHint(const entry_ref* ref);

private:
	status_t _GetString(const char* name, char* buffer, size_t size) const;
	status_t _SetString(const char* name, const char* value, size_t limit);

	BNode* fNode;
	status_t fStatus;
};
