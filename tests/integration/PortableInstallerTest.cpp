// Installers run on machines that have nothing but the C library: the stubs
// name no other library, carry no trace of the machine they were built on,
// and a built installer does its work in a root holding only itself, the
// loader, libc and libm. A cut-off installer file says so before it writes.
#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ExecVector.h"
#include "TempFolder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Result {
	int code = -1;
	std::string output;
	std::string errors;
};

std::string ReadAll(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `command` with exactly `environment`, its output kept in `folder`.
Result Spawn(const std::vector<std::string>& command, const std::vector<std::string>& environment,
             const std::string& folder)
{
	std::vector<char*> argv = ExecVector(command);
	std::vector<char*> envp = ExecVector(environment);
	const std::string out = folder + "/out.txt";
	const std::string err = folder + "/err.txt";
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	Result result;
	pid_t pid = 0;
	if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
		int status = 0;
		waitpid(pid, &status, 0);
		result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
	}
	posix_spawn_file_actions_destroy(&actions);
	result.output = ReadAll(out);
	result.errors = ReadAll(err);
	return result;
}

Result SpawnHere(const std::vector<std::string>& command, const std::string& folder)
{
	std::vector<std::string> environment;
	for (char** variable = environ; *variable != nullptr; variable++)
		environment.push_back(*variable);
	return Spawn(command, environment, folder);
}

// The libraries a program names in its dynamic section.
std::set<std::string> Needed(const std::string& program, const std::string& folder)
{
	Result read = SpawnHere({"readelf", "-d", "-W", program}, folder);
	std::set<std::string> needed;
	std::istringstream lines(read.output);
	for (std::string line; std::getline(lines, line);) {
		size_t open = line.find("(NEEDED)");
		size_t name = line.find('[');
		if (open != std::string::npos && name != std::string::npos)
			needed.insert(line.substr(name + 1, line.find(']', name) - name - 1));
	}
	return needed;
}

std::string BuildHello(const std::string& folder)
{
	const std::string installer = folder + "/hello-installer";
	Result built = SpawnHere({VANTRY_BUILD_TOOL,
	                          std::string(VANTRY_SOURCE_DIR) + "/examples/hello/product.toml", "-o",
	                          installer},
	                         folder);
	EXPECT_EQ(built.code, 0) << built.errors;
	return installer;
}

// Copies `path` into `root` at the same place, links resolved.
void CopyInto(const std::string& root, const std::string& path)
{
	fs::create_directories(fs::path(root + path).parent_path());
	fs::copy_file(fs::canonical(path), root + path, fs::copy_options::overwrite_existing);
}

std::string Interpreter(const std::string& program, const std::string& folder)
{
	Result read = SpawnHere({"readelf", "-l", "-W", program}, folder);
	const std::string marker = "[Requesting program interpreter: ";
	size_t at = read.output.find(marker);
	if (at == std::string::npos)
		return std::string();
	at += marker.size();
	return read.output.substr(at, read.output.find(']', at) - at);
}

// The full path of a system tool: the runs below get a PATH of their own.
std::string Tool(const std::string& name)
{
	for (const char* folder : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}) {
		if (access((std::string(folder) + "/" + name).c_str(), X_OK) == 0)
			return std::string(folder) + "/" + name;
	}
	return name;
}

// The directory of the C library the loader finds first.
std::string LibraryFolder()
{
	for (const char* folder : {"/lib/x86_64-linux-gnu", "/lib64", "/lib", "/usr/lib"}) {
		if (fs::exists(std::string(folder) + "/libc.so.6"))
			return folder;
	}
	return std::string();
}

} // namespace

TEST(PortableInstallerTest, Stubs_NeedOnlyTheCLibraryAndCarryNoBuildPath)
{
	TempFolder temp;
	const std::set<std::string> allowed = {"libc.so.6", "libm.so.6", "ld-linux-x86-64.so.2"};
	for (const char* stub : {VANTRY_INSTALLER_STUB, VANTRY_DEINSTALLER_STUB}) {
		SCOPED_TRACE(stub);
		std::set<std::string> needed = Needed(stub, temp.Path());
		EXPECT_TRUE(needed.count("libc.so.6")) << "not a dynamic program";
		for (const std::string& library : needed)
			EXPECT_TRUE(allowed.count(library)) << "needs " << library;
		Result sections = SpawnHere({"readelf", "-S", "-W", stub}, temp.Path());
		EXPECT_EQ(sections.output.find(".symtab"), std::string::npos) << "not stripped";
		EXPECT_EQ(sections.output.find(".debug_"), std::string::npos) << "not stripped";
		std::string bytes = ReadAll(stub);
		for (const char* path : {VANTRY_SOURCE_DIR, VANTRY_BINARY_DIR})
			EXPECT_EQ(bytes.find(path), std::string::npos) << "carries " << path;
	}
}

TEST(PortableInstallerTest, CutOffInstaller_SaysSoBeforeWritingAnything)
{
	TempFolder temp;
	const std::string installer = BuildHello(temp.Path());
	const off_t size = (off_t)fs::file_size(installer);
	const struct {
		const char* name;
		off_t keep;
		std::string expected;
	} cases[] = {
	        {"cut in the payloads", size - 5000, "should be " + std::to_string(size) + " bytes"},
	        {"cut in the resource header", (off_t)fs::file_size(VANTRY_INSTALLER_STUB) + 100,
	         "should be at least "},
	};
	for (const auto& test : cases) {
		SCOPED_TRACE(test.name);
		const std::string cut = temp / "cut-installer";
		fs::copy_file(installer, cut, fs::copy_options::overwrite_existing);
		ASSERT_EQ(truncate(cut.c_str(), test.keep), 0);
		const std::string dest = temp / "dest";
		fs::create_directories(dest);
		const std::string boot = temp / "boot";
		Result run =
		        Spawn({cut, "--unattended", "--dest", dest, "--type", "Full", "--yes"},
		              {"VANTRY_ROOT=" + boot, "HOME=" + boot + "/home", "TMPDIR=" + temp.Path()},
		              temp.Path());
		EXPECT_EQ(run.code, 8) << run.output << run.errors;
		EXPECT_NE(run.errors.find(fs::canonical(cut).string()), std::string::npos) << run.errors;
		EXPECT_NE(run.errors.find(test.expected), std::string::npos) << run.errors;
		EXPECT_NE(run.errors.find("is " + std::to_string(test.keep) + " bytes"), std::string::npos)
		        << run.errors;
		EXPECT_TRUE(fs::is_empty(dest));
		EXPECT_FALSE(fs::exists(boot));
	}
}

// The installer in a root holding only itself, the loader, libc and libm,
// and /proc: the help, an unattended install of the sample product, and the
// window's refusal naming what is missing.
TEST(PortableInstallerTest, Hello_RunsInARootWithOnlyTheCLibrary)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "needs root to make a root folder with its own /proc (unshare, chroot)";
	TempFolder temp;
	const std::string installer = BuildHello(temp.Path());
	const std::string root = temp / "root";
	fs::create_directories(root + "/proc");
	fs::create_directories(root + "/tmp");
	fs::copy_file(installer, root + "/installer");
	const std::string loader = Interpreter(installer, temp.Path());
	ASSERT_FALSE(loader.empty());
	CopyInto(root, loader);
	const std::string libraries = LibraryFolder();
	ASSERT_FALSE(libraries.empty());
	CopyInto(root, libraries + "/libc.so.6");
	CopyInto(root, libraries + "/libm.so.6");
	const std::vector<std::string> environment = {
	        "PATH=/bin",   "VANTRY_ROOT=/boot",           "HOME=/boot/home",
	        "TMPDIR=/tmp", "XDG_CONFIG_HOME=/xdg/config", "XDG_DATA_HOME=/xdg/data"};
	auto inRoot = [&](std::vector<std::string> arguments, const std::string& display) {
		std::vector<std::string> command = {
		        "unshare",      "--mount", "--pid",     "--fork", "--mount-proc=" + root + "/proc",
		        Tool("chroot"), root,      "/installer"};
		command.insert(command.end(), arguments.begin(), arguments.end());
		std::vector<std::string> env = environment;
		if (!display.empty())
			env.push_back("DISPLAY=" + display);
		command[0] = Tool("unshare");
		return Spawn(command, env, temp.Path());
	};

	Result help = inRoot({"--help"}, "");
	EXPECT_EQ(help.code, 0) << help.errors;
	EXPECT_NE(help.output.find("--unattended"), std::string::npos) << help.output;

	fs::create_directories(root + "/boot/home");
	fs::create_directories(root + "/boot/apps");
	Result install = inRoot(
	        {"--unattended", "--dest", "/boot/apps", "--type", "Full", "--yes", "--accept-licence"},
	        "");
	EXPECT_EQ(install.code, 0) << install.output << install.errors;
	EXPECT_NE(install.output.find("result: completed (0)"), std::string::npos) << install.output;
	const std::string source = std::string(VANTRY_SOURCE_DIR) + "/examples/hello/files";
	const std::string folder = root + "/boot/apps/Hello";
	for (const char* file : {"ReadMe.txt", "hello"})
		EXPECT_EQ(ReadAll(folder + "/" + file), ReadAll(source + "/" + file)) << file;
	EXPECT_TRUE(fs::exists(folder + "/Log"));
	EXPECT_TRUE(fs::exists(folder + "/Hello 1.0.0 Deinstaller"));
	EXPECT_EQ(ReadAll(root + "/boot/home/Documents/Hello/Hello Docs/guides/Uninstalling.txt"),
	          ReadAll(source + "/Hello Docs/guides/Uninstalling.txt"));

	const struct {
		const char* display;
		const char* missing;
	} windows[] = {{"", "DISPLAY is not set"}, {":0", "libX11.so.6"}};
	for (const auto& window : windows) {
		SCOPED_TRACE(window.missing);
		Result refused = inRoot({}, window.display);
		EXPECT_EQ(refused.code, 2) << refused.output << refused.errors;
		EXPECT_NE(refused.errors.find(window.missing), std::string::npos) << refused.errors;
		EXPECT_NE(refused.errors.find("--unattended"), std::string::npos) << refused.errors;
	}
}
