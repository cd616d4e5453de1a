// UnattendedPlan: what an unattended installation would do, found with the
// same checks in the same order as the run and printed, without changing
// anything; it ends with the exit code the run would end with.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

class InstallConfig;
class JsonWriter;
class UnattendedOutput;
class UnattendedPresenter;

struct PlannedRun {
	struct Entry {
		std::string path;
		// "file", "folder" or "link".
		std::string type;
		int64 size = 0;
		int mode = 0;
	};
	// An entry and where it goes or what it names: an entry in the way and
	// its place in Saved Files or the trash, a link and its target, a script
	// file and the section written into it.
	struct Move {
		std::string path;
		std::string to;
	};

	std::string product;
	std::string version;
	std::string installationFolder;
	// The running installer's key when it is signed.
	std::string publisherKey;
	// The earlier installation the run moves to the trash whole, and what its
	// deinstall record tells of it: product found, version, key ID.
	std::string earlierInstallation;
	bool earlierRecorded = false;
	std::string earlierVersion;
	std::string earlierKey;
	// What becomes of it: "trash", or "upgrade" (installed over in place).
	std::string earlierTo = "trash";
	// An upgrade's decisions on the earlier version's entries: those the
	// user changed stay (the new version beside them as NAME.new), those the
	// new version no longer has go to the trash unless changed.
	std::vector<std::string> upgradeKept;
	std::vector<std::string> upgradeTrashed;
	std::vector<Entry> entries;
	std::vector<Move> replaced;
	std::vector<Move> renamed;
	// Entries in the way that stay: the item or link is not placed.
	std::vector<std::string> kept;
	std::vector<Move> links;
	std::vector<std::string> menuEntries;
	std::vector<Move> scriptSections;
};

// The run's product, folder and publisher, and the earlier installation in
// that folder, for a plan or a run's summary.
void DescribeRun(InstallConfig& config, PlannedRun& run);

// Plans the run of `config`, once described, from its requirement checks on, asking its
// questions of `presenter`; prints each change to `output` (unless it
// collects JSON) and answers the run's UNATTENDED_ exit code.
int PlanInstallation(InstallConfig& config, UnattendedPresenter& presenter,
                     UnattendedOutput& output, PlannedRun& run);

// The run's product, version, folder and publisher key as JSON fields, as a
// plan and a run's outcome both name them.
void WriteRunFields(JsonWriter& json, const PlannedRun& run);

// The plan as one JSON document, with the events `output` collected.
std::string PlanDocument(const PlannedRun& run, const UnattendedOutput& output, const int& code,
                         const char* result);
