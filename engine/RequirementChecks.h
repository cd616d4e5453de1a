// RequirementChecks: what the product needs (disk space, memory, shared
// libraries, applications) against what the system offers, with the alerts
// that say what is missing.
#pragma once

#include <string>

#include "EntryRef.h"
#include "Message.h"
#include "SupportDefs.h"

class RequirementChecks {
public:
	// `selected_size`: the record's sizes of the selected items;
	// `payloads`: the installer file that carries their archives.
	RequirementChecks(const BMessage& record, const entry_ref& destination,
	                  const int64& selected_size, const char* payloads);

	// INSTALL_CHECK_GO_ON, INSTALL_CHECK_CHOOSE_AGAIN or INSTALL_CHECK_END.
	int32 Run() const;

private:
	const BMessage& fRecord;
	const entry_ref& fDestination;
	int64 fSelectedSize;
	std::string fPayloads;
};
