// PayloadCheck: before a run changes anything, every payload it will unpack
// must lie whole in the installer file and match the digest its record keeps.
#pragma once

#include <string>

#include "Message.h"
#include "SupportDefs.h"

class LibAppResource;

class PayloadCheck {
public:
	explicit PayloadCheck(LibAppResource& store);

	// Checks the deinstaller's payload (when the record makes one) and those
	// of the selected items of the configuration record `record`. False with
	// `Failure()` set.
	bool Verify(const BMessage& record);
	// "<what>: <reason>" for the first payload that failed.
	const std::string& Failure() const { return fFailure; }

private:
	// `expected` is the digest the record keeps, null for a record written
	// before digests existed.
	bool VerifyPayload(const int32& id, const std::string& what, const int64* expected);

	LibAppResource& fStore;
	std::string fFailure;
	int fFile;
};
