// Typed reads of description fields and the error texts for their mistakes.
#include "DescriptionReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "RecordCheck.h"
#include "StandardFolders.h"

namespace {

const char* type_name(toml::node_type type)
{
	switch (type) {
		case toml::node_type::string: return "a string";
		case toml::node_type::integer: return "an integer";
		case toml::node_type::floating_point: return "a floating-point number";
		case toml::node_type::boolean: return "a boolean";
		case toml::node_type::table: return "a table";
		case toml::node_type::array: return "an array";
		case toml::node_type::date: return "a date";
		case toml::node_type::time: return "a time";
		case toml::node_type::date_time: return "a date-time";
		default: return "nothing";
	}
}

// Edit distance, for "did you mean" hints on unknown fields.
size_t edit_distance(const std::string& a, const std::string& b)
{
	std::vector<size_t> row(b.size() + 1);
	for (size_t j = 0; j <= b.size(); j++)
		row[j] = j;
	for (size_t i = 1; i <= a.size(); i++) {
		size_t diagonal = row[0];
		row[0] = i;
		for (size_t j = 1; j <= b.size(); j++) {
			size_t above = row[j];
			size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
			row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
			diagonal = above;
		}
	}
	return row[b.size()];
}

std::string closest_name(const std::string& name, std::initializer_list<const char*> known)
{
	std::string best;
	size_t bestDistance = std::max<size_t>(2, name.size() / 4) + 1;
	for (const char* candidate : known) {
		size_t distance = edit_distance(name, candidate);
		if (distance < bestDistance) {
			bestDistance = distance;
			best = candidate;
		}
	}
	return best;
}

const off_t kMaxTextSize = 16 << 20;

struct SizeUnit {
	const char* name;
	double bytes;
	uint32 code;
};

const SizeUnit kSizeUnits[] = {
        {"B", 1, 'b   '},           {"BYTES", 1, 'b   '},        {"K", 1024, 'kb  '},
        {"KB", 1024, 'kb  '},       {"KIB", 1024, 'kb  '},       {"M", 1048576, 'mb  '},
        {"MB", 1048576, 'mb  '},    {"MIB", 1048576, 'mb  '},    {"G", 1073741824, 'gb  '},
        {"GB", 1073741824, 'gb  '}, {"GIB", 1073741824, 'gb  '},
};

// Reads "10 MB", "1.5GB" or "512 KB" (units of 1024, case-insensitive).
bool parse_size_text(const std::string& text, DiskAmount& amount)
{
	const char* start = text.c_str();
	char* end = nullptr;
	errno = 0;
	double number = strtod(start, &end);
	if (end == start || errno != 0 || !std::isfinite(number) || number < 0)
		return false;
	std::string unit(end);
	unit.erase(0, unit.find_first_not_of(" \t"));
	unit.erase(unit.find_last_not_of(" \t") + 1);
	std::transform(unit.begin(), unit.end(), unit.begin(),
	               [](unsigned char c) { return (char)toupper(c); });
	for (const SizeUnit& candidate : kSizeUnits) {
		if (unit == candidate.name) {
			amount.value = number * candidate.bytes;
			amount.value_type = candidate.code;
			amount.value_conversion = (float)candidate.bytes;
			return true;
		}
	}
	return false;
}

} // namespace

DescriptionReader::DescriptionReader(const std::string& file, const std::string& baseDirectory,
                                     std::vector<std::string>& errors)
    : fFile(file), fBaseDirectory(baseDirectory), fErrors(errors)
{
}

void DescriptionReader::Error(const FieldOrigin& origin, const std::string& message)
{
	fErrors.push_back(format_field_error(fFile, origin, message));
}

FieldOrigin DescriptionReader::Origin(const toml::node& node, const std::string& field) const
{
	return FieldOrigin{field, (int32)node.source().begin.line};
}

FieldOrigin DescriptionReader::KeyOrigin(const toml::key& key, const std::string& field) const
{
	return FieldOrigin{field, (int32)key.source().begin.line};
}

std::string DescriptionReader::Join(const std::string& prefix, const std::string& key)
{
	return prefix.empty() ? key : prefix + "." + key;
}

std::string DescriptionReader::Resolve(const std::string& path) const
{
	std::filesystem::path value(path);
	if (!value.is_absolute())
		value = std::filesystem::path(fBaseDirectory) / value;
	std::string normal = value.lexically_normal().string();
	while (normal.size() > 1 && normal.back() == '/')
		normal.pop_back();
	return normal;
}

void DescriptionReader::CheckKnown(const toml::table& table, const std::string& prefix,
                                   std::initializer_list<const char*> known)
{
	for (const auto& [key, node] : table) {
		std::string name(key.str());
		bool found = std::any_of(known.begin(), known.end(),
		                         [&](const char* candidate) { return name == candidate; });
		if (found)
			continue;
		std::string message = "unknown field";
		std::string hint = closest_name(name, known);
		if (!hint.empty())
			message += "; did you mean `" + hint + "`?";
		Error(KeyOrigin(key, Join(prefix, name)), message);
	}
}

void DescriptionReader::RejectComputed(const toml::table& table, const std::string& prefix,
                                       const char* key, const char* why)
{
	const toml::node* node = table.get(key);
	if (node != nullptr)
		Error(Origin(*node, Join(prefix, key)), std::string("set by vantry-build: ") + why);
}

void DescriptionReader::WrongType(const toml::node& node, const std::string& field,
                                  const std::string& expected)
{
	Error(Origin(node, field), "expected " + expected + ", found " + type_name(node.type()));
}

bool DescriptionReader::ReadString(const toml::table& table, const std::string& prefix,
                                   const char* key, std::string& out)
{
	const auto* value = Typed<std::string>(table, prefix, key, "a string");
	if (value != nullptr)
		out = value->get();
	return value != nullptr;
}

bool DescriptionReader::ReadText(const toml::table& table, const std::string& prefix,
                                 const char* key, std::string& out)
{
	const toml::node* node = table.get(key);
	if (node == nullptr)
		return false;
	std::string field = Join(prefix, key);
	if (node->is_string()) {
		out = node->as_string()->get();
		return true;
	}
	if (!node->is_table()) {
		WrongType(*node, field, "a string or a table { file = \"PATH\" }");
		return false;
	}
	const toml::table& source = *node->as_table();
	CheckKnown(source, field, {"file"});
	if (source.get("file") == nullptr) {
		Error(Origin(*node, field), "a text table needs `file`, the file that holds the text");
		return false;
	}
	return ReadTextFile(source, field, out);
}

bool DescriptionReader::ReadTextFile(const toml::table& table, const std::string& field,
                                     std::string& out)
{
	std::string path;
	FieldOrigin origin;
	if (!ReadPath(table, field, "file", path, origin))
		return false;
	struct stat info;
	if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
		Error(origin, "not a file: " + path);
		return false;
	}
	if (info.st_size > kMaxTextSize) {
		Error(origin, "the text file " + path + " is larger than 16 MB");
		return false;
	}
	// Regular files only, so no special file can stall the reading; read to
	// their end, since a file of /proc reports 0 bytes and holds more.
	std::ifstream stream(path, std::ios::binary);
	std::string text;
	char buffer[65536];
	while (stream.is_open() && text.size() <= size_t(kMaxTextSize) &&
	       (stream.read(buffer, sizeof(buffer)) || stream.gcount() > 0))
		text.append(buffer, size_t(stream.gcount()));
	if (!stream.is_open() || stream.bad()) {
		Error(origin, "cannot read " + path);
		return false;
	}
	if (text.size() > size_t(kMaxTextSize)) {
		Error(origin, "the text file " + path + " is larger than 16 MB");
		return false;
	}
	out = text;
	return true;
}

bool DescriptionReader::ReadBool(const toml::table& table, const std::string& prefix,
                                 const char* key, bool& out)
{
	const auto* value = Typed<bool>(table, prefix, key, "true or false");
	if (value != nullptr)
		out = value->get();
	return value != nullptr;
}

bool DescriptionReader::ReadInt32(const toml::table& table, const std::string& prefix,
                                  const char* key, int32& out, int64 minimum, int64 maximum)
{
	const auto* integer = Typed<int64_t>(table, prefix, key, "an integer");
	if (integer == nullptr)
		return false;
	const int64 value = integer->get();
	if (value < minimum || value > maximum) {
		Error(Origin(*integer, Join(prefix, key)),
		      "out of range: " + std::to_string(value) + " is not between " +
		              std::to_string(minimum) + " and " + std::to_string(maximum));
		return false;
	}
	out = (int32)value;
	return true;
}

bool DescriptionReader::ReadPath(const toml::table& table, const std::string& prefix,
                                 const char* key, std::string& out, FieldOrigin& origin)
{
	std::string value;
	if (!ReadString(table, prefix, key, value))
		return false;
	origin = Origin(*table.get(key), Join(prefix, key));
	if (value.empty()) {
		Error(origin, "empty path");
		return false;
	}
	std::string path = Resolve(value);
	struct stat info;
	if (stat(path.c_str(), &info) != 0) {
		Error(origin, "missing source: " + path + ": " + strerror(errno));
		return false;
	}
	out = path;
	return true;
}

bool DescriptionReader::ReadNames(const toml::table& table, const std::string& prefix,
                                  const char* key, std::vector<std::string>& out,
                                  FieldOrigin& origin, char separator)
{
	const toml::node* node = table.get(key);
	if (node == nullptr)
		return false;
	std::string field = Join(prefix, key);
	origin = Origin(*node, field);
	std::vector<std::string> names;
	if (node->is_string()) {
		std::stringstream text(node->as_string()->get());
		std::string name;
		while (std::getline(text, name, separator))
			names.push_back(name);
	} else if (node->is_array()) {
		for (const toml::node& element : *node->as_array()) {
			if (!element.is_string()) {
				WrongType(element, field, "an array of strings");
				return false;
			}
			names.push_back(element.as_string()->get());
		}
	} else {
		WrongType(*node, field, "an array of strings");
		return false;
	}
	for (const std::string& name : names) {
		if (name.empty() || name.find(separator) != std::string::npos) {
			Error(origin,
			      std::string("a name may be neither empty nor hold \"") + separator + "\"");
			return false;
		}
	}
	out = names;
	return true;
}

bool DescriptionReader::ReadFolderCode(const toml::table& table, const std::string& prefix,
                                       const char* key, int32& out)
{
	return ReadIntegerOrText(
	        table, prefix, key, "a standard folder name",
	        [&](const int64& value, const FieldOrigin& origin) {
		        if (value < INT32_MIN || value > INT32_MAX ||
		            standard_folder_name((int32)value) == nullptr) {
			        Error(origin, "names no folder: " + std::to_string(value) +
			                              " is no standard folder number");
			        return false;
		        }
		        out = (int32)value;
		        return true;
	        },
	        [&](const std::string& name, const FieldOrigin& origin) {
		        if (standard_folder_code(name, &out))
			        return true;
		        Error(origin, "names no folder: \"" + name +
		                              "\" is no standard folder name (such as \"User\" or "
		                              "\"Applications\")");
		        return false;
	        });
}

bool DescriptionReader::ReadDiskAmount(const toml::table& table, const std::string& prefix,
                                       const char* key, DiskAmount& out)
{
	return ReadIntegerOrText(
	        table, prefix, key, "a number of bytes or a size such as \"10 MB\"",
	        [&](const int64& value, const FieldOrigin& origin) {
		        if (value < 0) {
			        Error(origin, "a size cannot be negative");
			        return false;
		        }
		        if (!FitsOnADisk(origin, (double)value))
			        return false;
		        out = DiskAmount{(double)value, 'b   ', 1.0f};
		        return true;
	        },
	        [&](const std::string& text, const FieldOrigin& origin) {
		        DiskAmount amount;
		        if (!parse_size_text(text, amount)) {
			        Error(origin,
			              "not a size: \"" + text +
			                      "\"; write a number of bytes or a size such as \"10 MB\"");
			        return false;
		        }
		        if (!FitsOnADisk(origin, amount.value))
			        return false;
		        out = amount;
		        return true;
	        });
}

bool DescriptionReader::FitsOnADisk(const FieldOrigin& origin, const double& bytes)
{
	if (bytes <= kLargestDiskAmount)
		return true;
	Error(origin, "more than any disk holds: at most 1152921504606846976 bytes (1 EiB)");
	return false;
}

bool DescriptionReader::ReadMegabytes(const toml::table& table, const std::string& prefix,
                                      const char* key, int32& out)
{
	const toml::node* node = table.get(key);
	if (node == nullptr)
		return false;
	std::string field = Join(prefix, key);
	double megabytes = 0;
	if (node->is_integer()) {
		megabytes = (double)node->as_integer()->get();
	} else if (node->is_string()) {
		DiskAmount amount;
		if (!parse_size_text(node->as_string()->get(), amount)) {
			Error(Origin(*node, field),
			      "not a size: \"" + node->as_string()->get() +
			              "\"; write a number of megabytes or a size such as \"64 MB\"");
			return false;
		}
		megabytes = std::ceil(amount.value / 1048576.0);
	} else {
		WrongType(*node, field, "a number of megabytes or a size such as \"64 MB\"");
		return false;
	}
	if (megabytes < 0 || megabytes > INT32_MAX) {
		Error(Origin(*node, field), "out of range for a memory size in megabytes");
		return false;
	}
	out = (int32)megabytes;
	return true;
}

bool DescriptionReader::ReadTrueFalse(const toml::table& table, const std::string& prefix,
                                      const char* key, std::string& out)
{
	const toml::node* node = table.get(key);
	if (node == nullptr)
		return false;
	if (node->is_boolean()) {
		out = node->as_boolean()->get() ? "True" : "False";
		return true;
	}
	if (node->is_string() &&
	    (node->as_string()->get() == "True" || node->as_string()->get() == "False")) {
		out = node->as_string()->get();
		return true;
	}
	WrongType(*node, Join(prefix, key), "true or false");
	return false;
}

bool DescriptionReader::ReadChoice(const toml::table& table, const std::string& prefix,
                                   const char* key, std::string& out,
                                   std::initializer_list<const char*> choices)
{
	std::string value;
	if (!ReadString(table, prefix, key, value))
		return false;
	for (const char* choice : choices) {
		if (value == choice) {
			out = value;
			return true;
		}
	}
	std::string list;
	for (const char* choice : choices)
		list += std::string(list.empty() ? "" : ", ") + "\"" + choice + "\"";
	Error(Origin(*table.get(key), Join(prefix, key)), "\"" + value + "\" is not one of " + list);
	return false;
}

const toml::table* DescriptionReader::ReadTable(const toml::table& table, const std::string& prefix,
                                                const char* key)
{
	return Typed<toml::table>(table, prefix, key, "a table");
}

const toml::array* DescriptionReader::ReadTableArray(const toml::table& table,
                                                     const std::string& prefix, const char* key)
{
	const toml::node* node = table.get(key);
	if (node == nullptr)
		return nullptr;
	if (node->is_array() && node->as_array()->empty())
		return node->as_array();
	if (!node->is_array_of_tables()) {
		WrongType(*node, Join(prefix, key), "tables ([[" + std::string(key) + "]])");
		return nullptr;
	}
	return node->as_array();
}
