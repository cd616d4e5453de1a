// BMimeType: a MIME type string, its validity, supertype and sniffing.
#pragma once

#include <sys/types.h>

#include <string>

#include "Mime.h"
#include "StorageDefs.h"

class BMimeType {
public:
	BMimeType();
	explicit BMimeType(const char* mimeType);
	BMimeType(const BMimeType& other);
	virtual ~BMimeType();

	// B_BAD_VALUE for text that is not "supertype[/subtype]".
	status_t SetTo(const char* mimeType);
	void Unset();
	status_t InitCheck() const { return fStatus; }

	const char* Type() const;
	bool IsValid() const;
	bool IsSupertypeOnly() const;
	status_t GetSupertype(BMimeType* supertype) const;
	// True for the same type, or when this supertype contains `type`.
	bool Contains(const BMimeType* type) const;

	// Types compare without regard to case.
	bool operator==(const BMimeType& type) const;
	bool operator==(const char* type) const;
	bool operator!=(const BMimeType& type) const { return !(*this == type); }
	BMimeType& operator=(const BMimeType& other);

	static bool IsValid(const char* mimeType);
	// The type the entry's content suggests, as update_mime_info finds it.
	static status_t GuessMimeType(const entry_ref* file, BMimeType* type);
	static status_t GuessMimeType(const char* filename, BMimeType* type);
	static status_t GuessMimeType(const void* buffer, int32 length, BMimeType* type);

private:
	std::string fType;
	status_t fStatus;
};

// The sniffed type of the entry at canonical `path` (links not followed).
status_t sniff_mime_type(const std::string& path, std::string* type);
// The sniffed type of a regular file named `leaf` (may be null) of
// permissions `mode` whose first bytes are `data`: what sniff_mime_type finds
// for it. Sniffing looks at no more than the first kMimeSniffBytes; any
// thread may call it.
static const size_t kMimeSniffBytes = 2048;
std::string sniff_mime_type_data(const void* data, size_t length, mode_t mode,
                                 const char* leaf = nullptr);
