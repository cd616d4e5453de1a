// A hermetic world for installing built installers for real: a BeOS-layout
// root (VANTRY_ROOT) with its home folder, products written and built with
// vantry-build, and the unattended installer run with its transcript kept.
#pragma once

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ExecVector.h"
#include "Node.h"

extern char** environ;

namespace install_test {

namespace fs = std::filesystem;

inline void WriteFile(const std::string& path, const std::string& text)
{
	fs::create_directories(fs::path(path).parent_path());
	std::ofstream out(path, std::ios::binary);
	out << text;
}

inline std::string ReadFile(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> Lines(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream stream(text);
	for (std::string line; std::getline(stream, line);)
		lines.push_back(line);
	return lines;
}

inline bool Exists(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0;
}

// The bytes of a user attribute (links not followed), or nothing.
inline std::optional<std::string> Attr(const std::string& path, const std::string& name)
{
	char buffer[4096];
	const ssize_t size = lgetxattr(path.c_str(), ("user." + name).c_str(), buffer, sizeof(buffer));
	if (size < 0)
		return std::nullopt;
	return std::string(buffer, size_t(size));
}

// The deinstall tag "InstallBy" of the node at `path`, read as the
// deinstaller reads it (a link's is kept on its folder), or nothing.
inline std::optional<std::string> DeinstallTag(const std::string& path)
{
	BNode node(path.c_str());
	attr_info info;
	if (node.GetAttrInfo("InstallBy", &info) != B_OK)
		return std::nullopt;
	std::string value(size_t(info.size), '\0');
	const ssize_t size = node.ReadAttr("InstallBy", info.type, 0, value.data(), value.size());
	if (size < 0)
		return std::nullopt;
	value.resize(size_t(size));
	return value;
}

// Every entry below `folder`, as paths relative to it, sorted.
inline std::vector<std::string> Tree(const std::string& folder)
{
	std::vector<std::string> entries;
	std::error_code error;
	for (auto it = fs::recursive_directory_iterator(folder, error);
	     it != fs::recursive_directory_iterator(); it.increment(error)) {
		entries.push_back(fs::relative(it->path(), folder).string());
	}
	std::sort(entries.begin(), entries.end());
	return entries;
}

// The harness's own files below a world's folder: transcripts, answer
// files, products, installers and the temporary folder; and the register of
// installations (root's below the world's var/lib, a user's in its data
// folder), whose file names are new identities each run: tests of the
// register read it themselves.
inline bool IsHarnessEntry(const std::string& entry)
{
	for (const char* prefix : {"run-", "answers-", "installers", "products", "boot/var/tmp",
	                           "boot/var/lib", "xdg/data/vantry"}) {
		if (entry.rfind(prefix, 0) == 0)
			return true;
	}
	return false;
}

// `size` bytes that do not compress, the same for the same seed.
inline std::string Noise(const size_t& size, const unsigned& seed)
{
	std::mt19937 random(seed);
	std::string bytes(size, '\0');
	for (char& byte : bytes)
		byte = char(random());
	return bytes;
}

// The attribute names of the entry (links not followed), in name order.
inline std::vector<std::string> AttrNames(const std::string& path)
{
	char names[8192];
	const ssize_t length = llistxattr(path.c_str(), names, sizeof(names));
	std::vector<std::string> found;
	for (ssize_t at = 0; at < length; at += ssize_t(strlen(names + at)) + 1)
		found.push_back(names + at);
	std::sort(found.begin(), found.end());
	return found;
}

// Every entry below `root` with its mode, modification time, content or
// link target and attributes; the harness's own files and the temporary
// folder left out. Two equal states are the same tree to a user.
inline std::map<std::string, std::string> TreeState(const std::string& root)
{
	std::map<std::string, std::string> entries;
	for (const std::string& entry : Tree(root)) {
		if (IsHarnessEntry(entry))
			continue;
		const std::string path = root + "/" + entry;
		struct stat info;
		lstat(path.c_str(), &info);
		std::string state = std::to_string(info.st_mode) + " " +
		                    std::to_string(info.st_mtim.tv_sec) + "." +
		                    std::to_string(info.st_mtim.tv_nsec);
		if (S_ISLNK(info.st_mode))
			state += " -> " + fs::read_symlink(path).string();
		else if (S_ISREG(info.st_mode))
			state += " " + std::to_string(std::hash<std::string>()(ReadFile(path)));
		for (const std::string& name : AttrNames(path)) {
			char value[4096];
			const ssize_t size = lgetxattr(path.c_str(), name.c_str(), value, sizeof(value));
			state += " " + name + "=" +
			         std::to_string(std::hash<std::string>()(
			                 std::string(value, size_t(size > 0 ? size : 0))));
		}
		entries[entry] = state;
	}
	return entries;
}

// The entries that differ between two snapshots, one a line.
inline std::string Changes(const std::map<std::string, std::string>& before,
                           const std::map<std::string, std::string>& after)
{
	std::string changes;
	for (const auto& [entry, digest] : after) {
		auto found = before.find(entry);
		if (found == before.end())
			changes += "added " + entry + "\n";
		else if (found->second != digest)
			changes += "changed " + entry + "\n";
	}
	for (const auto& [entry, digest] : before) {
		if (after.count(entry) == 0)
			changes += "removed " + entry + "\n";
	}
	return changes;
}

// The lines of a transcript that carry `label` ("status", "error"...), without it.
inline std::vector<std::string> Labelled(const std::string& output, const std::string& label)
{
	std::vector<std::string> found;
	const std::string prefix = label + ": ";
	for (const std::string& line : Lines(output)) {
		if (line.rfind(prefix, 0) == 0)
			found.push_back(line.substr(prefix.size()));
	}
	return found;
}

// Waits until `predicate` holds, at most `seconds`.
template <typename Predicate> bool WaitUntil(Predicate predicate, const double& seconds)
{
	const auto end =
	        std::chrono::steady_clock::now() + std::chrono::milliseconds(int64_t(seconds * 1000));
	while (std::chrono::steady_clock::now() < end) {
		if (predicate())
			return true;
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	return predicate();
}

struct RunResult {
	int code = -1;
	std::string output;
	std::string errors;
	// Where the output went: programs the run started may still write there.
	std::string outputPath;
};

class InstallWorld {
public:
	InstallWorld()
	{
		std::string pattern = testing::TempDir() + "vantry-install-XXXXXX";
		EXPECT_NE(mkdtemp(pattern.data()), nullptr);
		fTemp = fs::canonical(pattern).string();
		for (const char* folder :
		     {"boot/home/config/boot", "boot/apps", "boot/beos/bin", "boot/var/tmp", "products",
		      "installers", "xdg/config", "xdg/data"})
			fs::create_directories(fTemp + "/" + folder);
		// The file manager is a recorder: it notes what it was asked to open.
		WriteFile(fTemp + "/opener", "#!/bin/sh\necho \"$1\" >> \"" + fTemp + "/opened.txt\"\n");
		chmod((fTemp + "/opener").c_str(), 0755);
		// The shutdown tool of the test layout records its arguments.
		WriteFile(Boot() + "/beos/bin/shutdown",
		          "#!/bin/sh\necho \"$@\" >> \"" + fTemp + "/shutdown.txt\"\n");
		chmod((Boot() + "/beos/bin/shutdown").c_str(), 0755);
		SetEnv("VANTRY_ROOT", Boot());
		// Tests run as root: the user's layout, never the real system folders.
		SetEnv("VANTRY_LAYOUT", "user");
		SetEnv("HOME", Home());
		SetEnv("XDG_CONFIG_HOME", fTemp + "/xdg/config");
		SetEnv("XDG_DATA_HOME", fTemp + "/xdg/data");
		SetEnv("TMPDIR", Boot() + "/var/tmp");
		SetEnv("VANTRY_OPENER", fTemp + "/opener");
		SetEnv("LIBRARY_PATH", std::nullopt);
		SetEnv("VANTRY_VOLUMES", std::nullopt);
		SetEnv("VANTRY_VOLUMES_FILE", std::nullopt);
		SetEnv("VANTRY_ALLOW_SHUTDOWN", std::nullopt);
		// The installer speaks the locale's language: the tests' is English.
		SetEnv("LC_ALL", std::nullopt);
		SetEnv("LC_MESSAGES", std::nullopt);
		SetEnv("LANG", "C.UTF-8");
	}

	~InstallWorld()
	{
		std::error_code error;
		fs::remove_all(fTemp, error);
	}

	std::string Temp() const { return fTemp; }
	std::string Boot() const { return fTemp + "/boot"; }
	std::string Home() const { return Boot() + "/home"; }
	std::string UserBoot() const { return Home() + "/config/boot"; }
	std::string Apps() const { return Boot() + "/apps"; }
	std::string Trash() const { return Home() + "/Desktop/Trash"; }
	// Where installations register themselves: root's and a user's folder.
	std::string Register() const
	{
		return geteuid() == 0 ? Boot() + "/var/lib/vantry/installations"
		                      : fTemp + "/xdg/data/vantry/installations";
	}

	// A variable of the installer's environment; nothing removes it.
	void SetEnv(const std::string& name, const std::optional<std::string>& value)
	{
		fEnv[name] = value;
	}

	// Writes a product folder (description and files) and builds its installer.
	std::string Build(const std::string& name, const std::string& description,
	                  const std::map<std::string, std::string>& files = {})
	{
		const std::string folder = fTemp + "/products/" + name;
		for (const auto& [path, content] : files)
			WriteFile(folder + "/" + path, content);
		WriteFile(folder + "/product.toml", description);
		const std::string installer = fTemp + "/installers/" + name;
		const RunResult built = Run({VANTRY_BUILD_TOOL, folder + "/product.toml", "-o", installer});
		EXPECT_EQ(built.code, 0) << built.errors;
		return installer;
	}

	std::string ProductFolder(const std::string& name) const { return fTemp + "/products/" + name; }

	// Installs unattended; `answers`, when given, becomes the answer file.
	RunResult Install(const std::string& installer, std::vector<std::string> arguments,
	                  const std::optional<std::string>& answers = std::nullopt)
	{
		std::vector<std::string> command = {installer, "--unattended"};
		if (answers) {
			const std::string path = fTemp + "/answers-" + std::to_string(fRuns) + ".txt";
			WriteFile(path, *answers);
			command.push_back("--answers");
			command.push_back(path);
		}
		command.insert(command.end(), arguments.begin(), arguments.end());
		return Run(command);
	}

	// Runs a program in the world's environment and waits for it.
	RunResult Run(const std::vector<std::string>& command)
	{
		const std::string output = fTemp + "/run-" + std::to_string(++fRuns) + ".out";
		const std::string errors = fTemp + "/run-" + std::to_string(fRuns) + ".err";
		const pid_t child = Start(command, output, errors);
		RunResult result;
		int status = 0;
		waitpid(child, &status, 0);
		result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
		result.output = ReadFile(output);
		result.errors = ReadFile(errors);
		result.outputPath = output;
		return result;
	}

	// Runs a program and waits at most `seconds` for it; code -1 when it had
	// not ended by then and was killed.
	RunResult RunFor(const std::vector<std::string>& command, const double& seconds)
	{
		const std::string base = fTemp + "/run-" + std::to_string(++fRuns);
		const pid_t child = Start(command, base + ".out", base + ".err");
		return Finish(child, seconds, base + ".out", base + ".err");
	}

	// Starts a program whose standard output is a pipe already full, so that
	// its first line waits for a reader that never reads, sends it `signal`
	// and waits at most `seconds` for its end (code -1 when it did not end).
	// The signal is held back across the start: one that comes before the
	// program's first instruction waits for it instead of killing it.
	RunResult SignalWhileBlocked(const std::vector<std::string>& command, const int& signal,
	                             const double& seconds)
	{
		const std::string base = fTemp + "/run-" + std::to_string(++fRuns);
		const std::string pipe = base + ".pipe";
		EXPECT_EQ(mkfifo(pipe.c_str(), 0600), 0) << pipe;
		// Open for reading and never read: the program's open does not wait.
		const int held = open(pipe.c_str(), O_RDWR | O_NONBLOCK);
		EXPECT_GE(held, 0) << pipe;
		const char chunk[4096] = {};
		while (write(held, chunk, sizeof(chunk)) > 0) {
		}
		while (write(held, chunk, 1) > 0) {
		}
		sigset_t held_back;
		sigset_t previous;
		sigemptyset(&held_back);
		sigaddset(&held_back, signal);
		pthread_sigmask(SIG_BLOCK, &held_back, &previous);
		const pid_t child = Start(command, pipe, base + ".err");
		pthread_sigmask(SIG_SETMASK, &previous, nullptr);
		// Its first line waits in the kernel's pipe write; a kernel that does
		// not tell gets the signal after the deadline, which ends it the same.
		const std::string waiting = "/proc/" + std::to_string(child) + "/wchan";
		WaitUntil([&] { return ReadFile(waiting).find("pipe_write") != std::string::npos; }, 5);
		kill(child, signal);
		RunResult result = Finish(child, seconds, "", base + ".err");
		close(held);
		return result;
	}

	// Starts a program with its output in files; the caller waits for it.
	pid_t Start(const std::vector<std::string>& command, const std::string& output,
	            const std::string& errors)
	{
		std::vector<std::string> environment = Environment();
		const pid_t child = fork();
		if (child == 0) {
			const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
			// No terminal: an installer started bare never waits for typed answers.
			const int in = open("/dev/null", O_RDONLY);
			dup2(in, STDIN_FILENO);
			dup2(out, STDOUT_FILENO);
			dup2(err, STDERR_FILENO);
			Exec(command, environment);
		}
		return child;
	}

	// In a child process: runs `command` in the world's folder; never returns.
	[[noreturn]] void Exec(const std::vector<std::string>& command,
	                       const std::vector<std::string>& environment) const
	{
		if (chdir(fTemp.c_str()) != 0)
			_exit(126);
		std::vector<char*> argv = ExecVector(command);
		std::vector<char*> envp = ExecVector(environment);
		execve(argv[0], argv.data(), envp.data());
		_exit(127);
	}

	// The deinstall tag every installation of `product` writes.
	static std::string Tag(const std::string& name, const std::string& version)
	{
		return name + ";" + version + ";2024-01-01;Test Company;test@example.org;";
	}

	// Waits at most `seconds` for `child`, killing it after that (code -1).
	static RunResult Finish(const pid_t& child, const double& seconds, const std::string& output,
	                        const std::string& errors)
	{
		int status = 0;
		const bool ended =
		        WaitUntil([&] { return waitpid(child, &status, WNOHANG) == child; }, seconds);
		if (!ended) {
			kill(child, SIGKILL);
			waitpid(child, &status, 0);
		}
		RunResult result;
		result.code = !ended              ? -1
		              : WIFEXITED(status) ? WEXITSTATUS(status)
		                                  : 128 + WTERMSIG(status);
		result.output = output.empty() ? std::string() : ReadFile(output);
		result.errors = ReadFile(errors);
		result.outputPath = output;
		return result;
	}

	// The installer's environment, as NAME=VALUE lines.
	std::vector<std::string> Environment() const
	{
		std::map<std::string, std::string> variables;
		for (char** variable = environ; *variable != nullptr; variable++) {
			const std::string text = *variable;
			const size_t equals = text.find('=');
			if (equals != std::string::npos)
				variables[text.substr(0, equals)] = text.substr(equals + 1);
		}
		for (const auto& [name, value] : fEnv) {
			if (value)
				variables[name] = *value;
			else
				variables.erase(name);
		}
		std::vector<std::string> environment;
		for (const auto& [name, value] : variables)
			environment.push_back(name + "=" + value);
		return environment;
	}

private:
	std::string fTemp;
	std::map<std::string, std::optional<std::string>> fEnv;
	int fRuns = 0;
};

// The product fields every test product shares; a test adds its own below.
// A text of a test table that may be absent (null).
inline std::optional<std::string> OptionalText(const char* text)
{
	return text != nullptr ? std::optional<std::string>(text) : std::nullopt;
}

inline std::string ProductHead(const std::string& name, const std::string& version = "1.0")
{
	return "app_name = \"" + name + "\"\nversion = \"" + version +
	       "\"\nrelease_date = \"2024-01-01\"\ncompany = \"Test Company\"\n"
	       "support_email = \"test@example.org\"\nopt_created_folder = \"" +
	       name + "\"\n";
}

// The script sections of the "Tally" products, up to the profile's text:
// the boot script runs the tool, the setup environment names its folder.
inline const char kTallySections[] = R"(
edit_bootscript = true
edit_bootscript_tag = "Tally"
edit_bootscript_contents = "\"${VANTRY_INSTALL_DIR}/tally\" --boot"
edit_setup_env = true
edit_setup_env_tag = "TallyEnv"
edit_setup_env_contents = "export TALLY_HOME=\"${VANTRY_INSTALL_DIR}\""
edit_profile = true
edit_profile_tag = "TallyPath"
)";

// The folder files/app installed where the user chose and files/prefs in the
// user's settings, both deinstallable, with a profile section tagged `tag`
// that names `version`; `options` go before them, `prefsMeta` into the
// second item's placement.
inline std::string AppAndPrefsProduct(const std::string& name, const std::string& tag,
                                      const std::string& version, const std::string& options,
                                      const std::string& prefsMeta = "")
{
	return ProductHead(name, version) + options + "edit_profile = true\nedit_profile_tag = \"" +
	       tag + "\"\nedit_profile_contents = \"export " + tag + "=" + version + R"("

[[install_file]]
file_name = "files/app"
[install_file.install_meta]
destination = "User Selected"
deinstallable = true

[[install_file]]
file_name = "files/prefs"
[install_file.install_meta]
destination = "User Settings"
deinstallable = true
)" + prefsMeta;
}

// Two install types, "Basic" and "Docs", of one item each: files/tool.txt
// and files/guide.txt.
inline std::string BasicAndDocsItems()
{
	return R"(
[[groups]]
group_name = "Basic"
[[groups]]
group_name = "Docs"

[[install_file]]
file_name = "files/tool.txt"
groups = ["Basic"]

[[install_file]]
file_name = "files/guide.txt"
groups = ["Docs"]
)";
}

// A custom folder below the user's home folder, as a description writes it.
inline std::string UserFolder(const std::string& name, const std::string& sub)
{
	return "[[custom_folder]]\ncustom_folder_name = \"" + name +
	       "\"\ncustom_root_dir = \"User\"\ncustom_sub_dir = \"" + sub +
	       "\"\ncustom_replace_existing = false\n";
}

} // namespace install_test
