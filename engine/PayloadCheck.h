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

	// Checks the deinstaller's payload (when one is to be made) and those of
	// the selected items of `instructions`. False with `Failure()` set.
	bool Verify(const BMessage& instructions, const bool& deinstaller);
	// "<what>: <reason>" for the first payload that failed.
	const std::string& Failure() const { return fFailure; }

private:
	bool VerifyPayload(const int32& id, const std::string& what, const BMessage* item);

	LibAppResource& fStore;
	std::string fFailure;
	int fFile;
};
