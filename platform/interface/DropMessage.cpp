// A text/uri-list turned into the drop message of its local files.
#include "DropMessage.h"

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <memory>

#include "FilePanel.h"
#include "MessageDelivery.h"

namespace {

int hex_value(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

// %XX escapes decoded; false for a broken escape or an escaped NUL, which
// no file name can hold.
bool percent_decode(const std::string& text, std::string* out)
{
	out->clear();
	for (size_t i = 0; i < text.size(); i++) {
		if (text[i] != '%') {
			out->push_back(text[i]);
			continue;
		}
		if (i + 2 >= text.size())
			return false;
		const int high = hex_value(text[i + 1]);
		const int low = hex_value(text[i + 2]);
		if (high < 0 || low < 0 || (high == 0 && low == 0))
			return false;
		out->push_back(char(high * 16 + low));
		i += 2;
	}
	return true;
}

bool starts_with_file_scheme(const std::string& line)
{
	static const char kScheme[] = "file:";
	if (line.size() < sizeof(kScheme) - 1)
		return false;
	for (size_t i = 0; i + 1 < sizeof(kScheme); i++) {
		if (std::tolower(static_cast<unsigned char>(line[i])) != kScheme[i])
			return false;
	}
	return true;
}

// The path of one "file:" URI on this machine, or false.
bool local_path(std::string line, const std::string& localHost, std::string* path)
{
	if (!starts_with_file_scheme(line))
		return false;
	std::string rest = line.substr(5);
	// A query or fragment is not part of the file's name.
	rest = rest.substr(0, rest.find_first_of("?#"));
	if (rest.compare(0, 2, "//") == 0) {
		const size_t slash = rest.find('/', 2);
		const std::string host =
		        rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
		if (!host.empty() && host != "localhost" && (localHost.empty() || host != localHost))
			return false;
		if (slash == std::string::npos)
			return false;
		rest = rest.substr(slash);
	}
	if (rest.empty() || rest[0] != '/')
		return false;
	std::string decoded;
	if (!percent_decode(rest, &decoded))
		return false;
	*path = std::filesystem::path(decoded).lexically_normal().string();
	if (path->size() > 1 && path->back() == '/')
		path->pop_back();
	return true;
}

} // namespace

std::vector<std::string> file_paths_from_uri_list(const std::string& text,
                                                  const std::string& localHost)
{
	std::vector<std::string> paths;
	size_t start = 0;
	while (start <= text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		std::string line = text.substr(start, end - start);
		start = end + 1;
		while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
			line.pop_back();
		if (line.empty() || line[0] == '#')
			continue;
		std::string path;
		if (local_path(line, localHost, &path))
			paths.push_back(path);
	}
	return paths;
}

bool make_drop_message(const std::string& uriList, BPoint where, BMessage* message)
{
	char host[256] = {};
	if (gethostname(host, sizeof(host) - 1) != 0)
		host[0] = '\0';
	BMessage drop(B_SIMPLE_DATA);
	int32 count = 0;
	for (const std::string& path : file_paths_from_uri_list(uriList, host)) {
		entry_ref ref;
		if (entry_ref_for_path(path.c_str(), &ref) != B_OK)
			continue;
		drop.AddRef("refs", &ref);
		count++;
	}
	if (count == 0)
		return false;
	auto info = std::make_unique<BMessage::DeliveryInfo>();
	info->dropped = true;
	info->dropPoint = where;
	drop.SetDelivery(std::move(info));
	*message = drop;
	return true;
}
