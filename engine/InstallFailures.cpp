// InstallFailures: the failed steps of a run, kept in order.
#include "InstallFailures.h"

#include <cstring>

InstallFailures::InstallFailures() : fLock(), fLines() {}

void InstallFailures::Add(const std::string& path, const std::string& reason)
{
	std::lock_guard<std::mutex> hold(fLock);
	fLines.push_back(path + ": " + reason);
}

void InstallFailures::AddError(const std::string& path, const int& error)
{
	Add(path, error != 0 ? strerror(error) : "unknown error");
}

int32 InstallFailures::Count() const
{
	std::lock_guard<std::mutex> hold(fLock);
	return int32(fLines.size());
}

std::vector<std::string> InstallFailures::Lines() const
{
	std::lock_guard<std::mutex> hold(fLock);
	return fLines;
}

void InstallFailures::Clear()
{
	std::lock_guard<std::mutex> hold(fLock);
	fLines.clear();
}
