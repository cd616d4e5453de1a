// Lines of tab-separated fields, as the journal and the manifest store them:
// a field may hold any byte; a backslash, tab or line feed in it is escaped.
#pragma once

#include <string>
#include <vector>

// The fields joined by tabs, each escaped.
std::string JoinTabFields(const std::vector<std::string>& fields);
// The fields of a line made by JoinTabFields, unescaped.
std::vector<std::string> SplitTabFields(const std::string& line);
