// The install types a record offers, as the reports and the terminal show them.
#pragma once

#include <string>
#include <vector>

#include "Message.h"

struct InstallType {
	std::string name;
	std::string description;
};

// The record's `groups`, in order.
std::vector<InstallType> InstallTypesOf(const BMessage& config);
