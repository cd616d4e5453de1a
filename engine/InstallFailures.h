// InstallFailures: what a run could not do, each step with its path and the
// system's reason, for the log, the completion texts and the exit code.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "SupportDefs.h"

class InstallFailures {
public:
	InstallFailures();

	// Notes that the step on `path` failed for `reason`.
	void Add(const std::string& path, const std::string& reason);
	// Notes a failure whose reason is the system's error `error` (an errno).
	void AddError(const std::string& path, const int& error);
	int32 Count() const;
	// Each failure as "<path>: <reason>", in the order they happened.
	std::vector<std::string> Lines() const;
	void Clear();

private:
	mutable std::mutex fLock;
	std::vector<std::string> fLines;
};
