// Tagged sections in shell scripts, rewritten through a temporary file that
// replaces the script only once it is complete.
#include "ScriptEdit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Errors.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LoginScripts.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Path.h"

namespace {

const char* const kScriptType = "text/plain";
const char* const kScriptEditor = "application/x-vnd.Be-STEE";

mode_t FileMode(const std::string& path)
{
	struct stat info;
	if (stat(path.c_str(), &info) != 0)
		return 0644;
	return info.st_mode & 07777;
}

std::vector<std::string> SplitLines(const std::string& content)
{
	std::vector<std::string> lines;
	size_t start = 0;
	while (start < content.size()) {
		size_t end = content.find('\n', start);
		end = end == std::string::npos ? content.size() : end + 1;
		lines.push_back(content.substr(start, end - start));
		start = end;
	}
	return lines;
}

// The line without its line feed (and carriage return) equals `marker`.
bool IsMarkerLine(const std::string& line, const std::string& marker)
{
	size_t length = line.size();
	if (length > 0 && line[length - 1] == '\n')
		length--;
	if (length > 0 && line[length - 1] == '\r')
		length--;
	return line.compare(0, length, marker) == 0 && length == marker.size();
}

// The index of the end marker closing a section begun at `begin`, or 0. A
// section never holds its own end marker, so further end markers before the
// next begin marker came from a text that planted one: the section runs to
// the last of them, and no line it held is left behind as a live command.
size_t SectionEnd(const std::vector<std::string>& lines, const size_t& begin,
                  const std::string& beginMarker, const std::string& endMarker)
{
	size_t end = 0;
	for (size_t i = begin + 1; i < lines.size(); i++) {
		if (IsMarkerLine(lines[i], beginMarker))
			break;
		if (IsMarkerLine(lines[i], endMarker))
			end = i;
	}
	return end;
}

// Whether a line of `text` is the begin or end marker of `tag`.
bool HoldsMarkerLine(const std::string& text, const char* tag)
{
	const std::string beginMarker = std::string("#BEGIN_") + tag;
	const std::string endMarker = std::string("#END_") + tag;
	for (const std::string& line : SplitLines(text)) {
		if (IsMarkerLine(line, beginMarker) || IsMarkerLine(line, endMarker))
			return true;
	}
	return false;
}

void SetScriptType(const std::string& path)
{
	BNode node(path.c_str());
	BNodeInfo info(&node);
	if (info.InitCheck() != B_OK)
		return;
	info.SetType(kScriptType);
	info.SetPreferredApp(kScriptEditor);
}

void SeedFromSample(const std::string& path)
{
	if (LibExists(path.c_str()))
		return;
	std::string sample;
	if (LibReadText(path + ".sample", sample))
		ReplaceWholeFile(path, sample, FileMode(path + ".sample"));
}

} // namespace

status_t ReplaceWholeFile(const std::string& path, const std::string& content, const mode_t& mode)
{
	const std::string temporary = path + ".tmp";
	const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
	if (fd < 0)
		return status_from_errno(errno);
	fchmod(fd, mode);
	const bool written = write(fd, content.data(), content.size()) == ssize_t(content.size());
	const int writeError = written ? 0 : errno;
	const bool synced = written && fsync(fd) == 0;
	const int syncError = synced ? 0 : errno;
	if (close(fd) != 0 || !written || !synced || rename(temporary.c_str(), path.c_str()) != 0) {
		const int error = writeError != 0 ? writeError : syncError != 0 ? syncError : errno;
		unlink(temporary.c_str());
		return error != 0 ? status_from_errno(error) : B_IO_ERROR;
	}
	return B_OK;
}

std::string ScriptWithoutSection(const std::string& content, const char* tag)
{
	if (tag == nullptr)
		return content;
	const std::string beginMarker = std::string("#BEGIN_") + tag;
	const std::string endMarker = std::string("#END_") + tag;
	const std::vector<std::string> lines = SplitLines(content);
	std::string result;
	for (size_t i = 0; i < lines.size(); i++) {
		if (IsMarkerLine(lines[i], beginMarker)) {
			const size_t end = SectionEnd(lines, i, beginMarker, endMarker);
			if (end != 0) {
				i = end;
				continue;
			}
		}
		result += lines[i];
	}
	return result;
}

status_t EditScriptPath(const char* path, const char* tag, const char* text)
{
	if (path == nullptr || tag == nullptr)
		return B_BAD_VALUE;
	// A marker is one line: a tag holding a line break would fence nothing.
	if (tag[0] == '\0' || strpbrk(tag, "\n\r") != nullptr)
		return B_BAD_VALUE;
	// A section holding its own marker would end early when it is removed.
	if (text != nullptr && HoldsMarkerLine(text, tag))
		return B_BAD_VALUE;
	// A script that is a link is edited where it lies, and stays a link.
	char resolved[PATH_MAX];
	const std::string file(realpath(path, resolved) != nullptr ? resolved : path);
	SeedFromSample(file);

	std::string content;
	const bool existed = LibReadText(file, content);
	const mode_t mode = FileMode(file);
	if (existed && text != nullptr)
		ReplaceWholeFile(file + ".orig", content, mode);
	// A removal leaves no copy that would still hold the section it removes.
	std::string backup;
	if (text == nullptr && LibReadText(file + ".orig", backup) &&
	    ScriptWithoutSection(backup, tag) != backup)
		ReplaceWholeFile(file + ".orig", ScriptWithoutSection(backup, tag),
		                 FileMode(file + ".orig"));

	std::string edited = ScriptWithoutSection(content, tag);
	if (text == nullptr && edited == content)
		return B_OK;
	if (text != nullptr) {
		if (edited.empty() || edited.back() != '\n')
			edited += '\n';
		edited += std::string("#BEGIN_") + tag + "\n" + text + "\n#END_" + tag + "\n";
	}
	const status_t status = ReplaceWholeFile(file, edited, mode);
	if (status != B_OK)
		return status;
	SetScriptType(file);
	return B_OK;
}

status_t EditScriptFile(const directory_which& folder, const char* file_name, const char* tag,
                        const char* text)
{
	if (file_name == nullptr || tag == nullptr)
		return B_BAD_VALUE;
	status_t status = B_OK;
	if (EditLinuxScript(folder, file_name, tag, text, status))
		return status;
	BPath directory;
	// A boot folder the volume lacks is made, as a missing script is; a
	// section is never removed from a folder that is not there.
	const status_t found = find_directory(folder, &directory, text != nullptr);
	if (found != B_OK || (text == nullptr && !LibExists(directory.Path())))
		return text == nullptr ? B_OK : found;
	if (!LibIsFolder(directory.Path()))
		return B_NOT_A_DIRECTORY;
	const std::string path = std::string(directory.Path()) + "/" + file_name;
	return EditScriptPath(path.c_str(), tag, text);
}
