#include "TabFields.h"

std::string JoinTabFields(const std::vector<std::string>& fields)
{
	std::string line;
	for (size_t n = 0; n < fields.size(); n++) {
		if (n > 0)
			line += '\t';
		for (const char c : fields[n]) {
			if (c == '\\')
				line += "\\\\";
			else if (c == '\t')
				line += "\\t";
			else if (c == '\n')
				line += "\\n";
			else
				line += c;
		}
	}
	return line;
}

std::vector<std::string> SplitTabFields(const std::string& line)
{
	std::vector<std::string> fields(1);
	for (size_t i = 0; i < line.size(); i++) {
		const char c = line[i];
		if (c == '\t') {
			fields.emplace_back();
		} else if (c == '\\' && i + 1 < line.size()) {
			const char next = line[++i];
			fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
		} else {
			fields.back() += c;
		}
	}
	return fields;
}
