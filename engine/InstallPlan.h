// InstallPlan: what a run will meet, found before it changes anything: the
// entries in the way that the run will ask about, and the folders it must
// be able to write.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

class InstallConfig;

class InstallPlan {
public:
	struct Question {
		// The entry in the way, and the item it is in the way of.
		std::string path;
		std::string item;
		bool link;
	};

	// Plans the selected items of `config` into its destination.
	explicit InstallPlan(InstallConfig& config);

	// The collisions whose rule asks ("Prompt").
	const std::vector<Question>& Questions() const { return fQuestions; }
	// The first folder the run must write into but cannot, with the system's
	// reason in `error`; empty when every one can be written.
	std::string Unwritable(int& error) const;

private:
	void PlanEntry(const std::string& folder, const std::string& leaf, const char* rule,
	               const bool& link);
	void NeedFolder(const std::string& folder);

	std::vector<Question> fQuestions;
	std::vector<std::string> fFolders;
};
