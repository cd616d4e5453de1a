// The configuration record's paths and lines checked before any use.
#include "RecordCheck.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "LibStdDir.h"

namespace {

const size_t kLongestLeaf = 255;

class Checker {
public:
	explicit Checker(const BMessage& record) : fRecord(record) {}

	std::vector<std::string> Run()
	{
		CheckProductTexts();
		CheckCreatedFolder();
		CheckItems();
		CheckCustomFolders();
		CheckScripts();
		CheckDiskAmount();
		return fErrors;
	}

private:
	void Fail(const std::string& field, const char* value, const std::string& reason)
	{
		std::string text = "field `" + field + "`";
		if (value != nullptr)
			text += " (\"" + ShownValue(value) + "\")";
		fErrors.push_back(text + ": " + reason);
	}

	// A text that is written into one line of a log, a tag or a script.
	void CheckOneLine(const BMessage& from, const char* name, const std::string& field)
	{
		const char* value = from.FindString(name);
		if (value != nullptr && HasControlCharacter(value))
			Fail(field, value, "must be one line, without control characters");
	}

	void CheckProductTexts()
	{
		for (const char* name : {"app_name", "version", "release_date", "company", "support_email"})
			CheckOneLine(fRecord, name, name);
	}

	void CheckCreatedFolder()
	{
		const char* name = fRecord.FindString("opt_created_folder");
		if (name == nullptr)
			Fail("opt_created_folder", nullptr, "missing: the installation folder's name");
		else if (!IsPlainLeaf(name))
			Fail("opt_created_folder", name,
			     "must be one folder name: not empty, \".\" or \"..\", without \"/\"");
	}

	void CheckItems()
	{
		// Thousands of items: each is looked at where it lies, not copied.
		std::shared_ptr<const BMessage> instructions = fRecord.FindNested("install_instructions");
		const BMessage empty;
		for (int32 i = 0; instructions != nullptr; i++) {
			std::shared_ptr<const BMessage> item = instructions->FindNested("install_file", i);
			if (item == nullptr)
				break;
			const std::string prefix = "install_file[" + std::to_string(i) + "]";
			const char* name = item->FindString("file_name");
			const std::string path = name != nullptr ? name : "";
			const std::string leaf = path.substr(path.find_last_of('/') + 1);
			if (!IsPlainLeaf(leaf))
				Fail(prefix + ".file_name", name,
				     "its last part must name the item: not empty, \".\" or \"..\"");
			std::shared_ptr<const BMessage> meta = item->FindNested("install_meta");
			CheckOneLine(meta != nullptr ? *meta : empty, "destination",
			             prefix + ".install_meta.destination");
			CheckOneLine(meta != nullptr ? *meta : empty, "link", prefix + ".install_meta.link");
		}
	}

	void CheckCustomFolders()
	{
		BMessage folders;
		fRecord.FindMessage("custom_folder", &folders);
		BMessage folder;
		for (int32 i = 0; folders.FindMessage("custom_folder", i, &folder) == B_OK; i++)
			CheckCustomFolder(folder, "custom_folder[" + std::to_string(i) + "]");
	}

	void CheckCustomFolder(const BMessage& folder, const std::string& prefix)
	{
		CheckOneLine(folder, "custom_folder_name", prefix + ".custom_folder_name");
		const int32 root = folder.FindInt32("custom_root_dir");
		LibString rootName;
		if (!LibGetStdDirName(directory_which(root), rootName)) {
			const std::string value = std::to_string(root);
			Fail(prefix + ".custom_root_dir", value.c_str(), "is no standard folder");
		}
		const char* sub = folder.FindString("custom_sub_dir");
		const std::string path = sub != nullptr ? sub : "";
		int32 below = 0;
		if (!SubFolderIsInside(path, below)) {
			Fail(prefix + ".custom_sub_dir", sub,
			     "must be a path below its standard folder: relative, without \"..\" or "
			     "control characters");
			return;
		}
		// Replacing the standard folder itself would empty it.
		if (below == 0 && folder.FindBool("custom_replace_existing")) {
			Fail(prefix + ".custom_sub_dir", sub != nullptr ? sub : "",
			     std::string("names the standard folder \"") + rootName.String() +
			             "\" itself, which custom_replace_existing would replace: give a "
			             "folder below it");
		}
	}

	// `below` counts the folders the path goes down from its root.
	static bool SubFolderIsInside(const std::string& path, int32& below)
	{
		if (HasControlCharacter(path) || (!path.empty() && path[0] == '/'))
			return false;
		size_t start = 0;
		while (start <= path.size()) {
			size_t end = path.find('/', start);
			if (end == std::string::npos)
				end = path.size();
			const std::string part = path.substr(start, end - start);
			if (part == "..")
				return false;
			if (!part.empty() && part != ".") {
				if (part.size() > kLongestLeaf)
					return false;
				below++;
			}
			start = end + 1;
		}
		return true;
	}

	void CheckScripts()
	{
		for (const char* base : {"edit_bootscript", "edit_setup_env", "edit_profile"}) {
			if (!fRecord.FindBool(base))
				continue;
			const std::string tagField = std::string(base) + "_tag";
			const char* tag = fRecord.FindString(tagField.c_str());
			if (tag == nullptr || tag[0] == '\0' || HasControlCharacter(tag)) {
				Fail(tagField, tag,
				     "a section's tag must be one line of text, without control characters");
				continue;
			}
			const std::string contentsField = std::string(base) + "_contents";
			const char* contents = fRecord.FindString(contentsField.c_str());
			if (contents != nullptr && HoldsMarker(contents, tag))
				Fail(contentsField, nullptr,
				     std::string("holds a line \"#BEGIN_") + tag + "\" or \"#END_" + tag +
				             "\", which would end the section early");
		}
	}

	static bool HoldsMarker(const std::string& contents, const std::string& tag)
	{
		const std::string begin = "#BEGIN_" + tag;
		const std::string end = "#END_" + tag;
		size_t start = 0;
		while (start <= contents.size()) {
			size_t stop = contents.find('\n', start);
			if (stop == std::string::npos)
				stop = contents.size();
			std::string line = contents.substr(start, stop - start);
			// The script editor reads a line ending in a carriage return as the same marker.
			if (!line.empty() && line.back() == '\r')
				line.pop_back();
			if (line == begin || line == end)
				return true;
			start = stop + 1;
		}
		return false;
	}

	void CheckDiskAmount()
	{
		BMessage amount;
		if (fRecord.FindMessage("req_disk_space_amount", &amount) != B_OK)
			return;
		double value = 0;
		if (amount.FindDouble("value", &value) == B_OK && std::isnan(value))
			Fail("req_disk_space_amount.value", "nan", "is not a number of bytes");
	}

	const BMessage& fRecord;
	std::vector<std::string> fErrors;
};

// Where a UTF-8 text may be cut at most `length` bytes in.
size_t CharacterBoundary(const std::string& text, size_t length)
{
	while (length > 0 && length < text.size() && (text[length] & 0xc0) == 0x80)
		length--;
	return length;
}

} // namespace

bool HasControlCharacter(const std::string& text)
{
	for (const unsigned char c : text) {
		if (c < 0x20 || c == 0x7f)
			return true;
	}
	return false;
}

std::string ShownValue(const std::string& value)
{
	std::string shown;
	for (const unsigned char c : value) {
		if (c == '\n')
			shown += "\\n";
		else if (c < 0x20 || c == 0x7f) {
			char escape[8];
			snprintf(escape, sizeof(escape), "\\x%02x", c);
			shown += escape;
		} else
			shown += char(c);
	}
	return shown;
}

std::vector<std::string> CheckConfigRecord(const BMessage& record)
{
	return Checker(record).Run();
}

std::string SafeFileName(const char* name)
{
	std::string safe;
	for (const char* c = name != nullptr ? name : ""; *c != '\0'; c++) {
		const unsigned char byte = *c;
		if (byte == '/')
			safe += '-';
		else if (byte < 0x20 || byte == 0x7f)
			safe += ' ';
		else
			safe += *c;
	}
	if (safe.empty() || safe == "." || safe == "..")
		safe = std::string(safe.size() > 0 ? safe.size() : 1, '_');
	if (safe.size() > kLongestLeaf)
		safe.resize(CharacterBoundary(safe, kLongestLeaf));
	return safe;
}

bool IsPlainLeaf(const std::string& name)
{
	return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
	       !HasControlCharacter(name) && name.size() <= kLongestLeaf;
}
