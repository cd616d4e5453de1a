// The argument or environment vector exec* wants, pointing into `strings`,
// which must outlive it.
#pragma once

#include <string>
#include <vector>

inline std::vector<char*> ExecVector(const std::vector<std::string>& strings)
{
	std::vector<char*> vector;
	for (const std::string& text : strings)
		vector.push_back(const_cast<char*>(text.c_str()));
	vector.push_back(nullptr);
	return vector;
}
