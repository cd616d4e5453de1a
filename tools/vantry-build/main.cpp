// vantry-build: turns a product description into an installer executable.
#include <malloc.h>
#include <unistd.h>

#include <sys/stat.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "ConfigWriter.h"
#include "InstallerWriter.h"
#include "MagicSniffer.h"
#include "ProductDescription.h"
#include "ProductWarnings.h"
#include "SigningKey.h"
#include "VantryVersion.h"

namespace {

const char kUsage[] =
        "usage: vantry-build PRODUCT.toml -o OUTPUT [--stub PATH] [--deinstaller PATH]\n"
        "                    [--strings DIR] [--threads N] [--sign KEY]\n"
        "       vantry-build --check PRODUCT.toml\n"
        "       vantry-build --version\n";

struct Arguments {
	std::string description;
	std::string output;
	std::string key;
	InstallerParts parts;
	bool checkOnly = false;
	bool version = false;
	bool help = false;
};

bool read_option(const std::string& argument, const char* value, Arguments& arguments)
{
	if (argument == "-o")
		arguments.output = value;
	else if (argument == "--stub")
		arguments.parts.installer = value;
	else if (argument == "--deinstaller")
		arguments.parts.deinstaller = value;
	else if (argument == "--strings")
		arguments.parts.strings = value;
	else if (argument == "--threads")
		arguments.parts.threads = atoi(value);
	else if (argument == "--sign")
		arguments.key = value;
	else
		return false;
	return true;
}

// Reads the command line; false on a usage error.
bool read_arguments(int argc, char** argv, Arguments& arguments)
{
	for (int i = 1; i < argc; i++) {
		std::string argument = argv[i];
		if (argument == "--check") {
			arguments.checkOnly = true;
			continue;
		}
		if (argument == "--version" || argument == "--help" || argument == "-h") {
			(argument == "--version" ? arguments.version : arguments.help) = true;
			return true;
		}
		if (argument.size() > 1 && argument[0] == '-') {
			if (i + 1 >= argc || !read_option(argument, argv[i + 1], arguments))
				return false;
			i++;
			continue;
		}
		if (!arguments.description.empty())
			return false;
		arguments.description = argument;
	}
	if (arguments.description.empty())
		return false;
	return arguments.checkOnly || !arguments.output.empty();
}

std::string own_folder()
{
	char path[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return ".";
	path[length] = '\0';
	return std::filesystem::path(path).parent_path().string();
}

// The first of `candidates` that exists, or "".
std::string first_existing(std::initializer_list<std::string> candidates)
{
	for (const std::string& candidate : candidates) {
		if (access(candidate.c_str(), F_OK) == 0)
			return candidate;
	}
	return "";
}

// The programs are looked for next to vantry-build, then in the build tree
// (vantry-build lives in tools/vantry-build, the programs in app/ and
// deinstaller/); the string tables in a "strings" folder next to it, then in
// the source tree it was built from.
bool find_parts(InstallerParts& parts)
{
	std::string folder = own_folder();
	if (parts.installer.empty())
		parts.installer = first_existing({folder + "/Installer", folder + "/../../app/Installer"});
	if (parts.deinstaller.empty())
		parts.deinstaller = first_existing(
		        {folder + "/Deinstaller", folder + "/../../deinstaller/Deinstaller"});
	if (parts.strings.empty())
		parts.strings = first_existing({folder + "/strings", VANTRY_STRINGS_DIR});
	const char* missing = parts.installer.empty() ? "the Installer program (--stub PATH)"
	                      : parts.deinstaller.empty()
	                              ? "the Deinstaller program (--deinstaller PATH)"
	                      : parts.strings.empty() ? "the string tables (--strings DIR)"
	                                              : nullptr;
	if (missing == nullptr)
		return true;
	fprintf(stderr, "vantry-build: cannot find %s\n", missing);
	return false;
}

// Mistakes in the description name its file and line; others name the tool.
void print_errors(const std::vector<std::string>& errors, const std::string& description)
{
	for (const std::string& error : errors) {
		bool located = error.compare(0, description.size() + 1, description + ":") == 0;
		fprintf(stderr, "%s%s\n", located ? "" : "vantry-build: ", error.c_str());
	}
}

// "12.3 KB": sizes in the summary, in the units the installer shows.
std::string human_size(const int64& bytes)
{
	char text[32];
	if (bytes >= 1048576)
		snprintf(text, sizeof(text), "%.1f MB", double(bytes) / 1048576.0);
	else if (bytes >= 1024)
		snprintf(text, sizeof(text), "%.1f KB", double(bytes) / 1024.0);
	else
		snprintf(text, sizeof(text), "%lld bytes", (long long)bytes);
	return text;
}

void print_summary(const std::vector<PackedItem>& items, const std::string& output,
                   const double& seconds)
{
	int64 bytes = 0;
	int64 packed = 0;
	for (const PackedItem& item : items) {
		printf("  %-30s %12s -> %s\n", item.name.c_str(), human_size(item.bytes).c_str(),
		       human_size(item.packed).c_str());
		bytes += item.bytes;
		packed += item.packed;
	}
	struct stat info;
	const int64 outputSize = stat(output.c_str(), &info) == 0 ? int64(info.st_size) : 0;
	printf("%zu item%s, %s packed into %s\n", items.size(), items.size() == 1 ? "" : "s",
	       human_size(bytes).c_str(), human_size(packed).c_str());
	printf("wrote %s (%s) in %.1f s\n", output.c_str(), human_size(outputSize).c_str(), seconds);
}

} // namespace

int main(int argc, char** argv)
{
	use_magic_sniffer();
	// The deflating threads' buffers are freed by the writer: with one heap
	// for all threads, none keeps a copy of the peak to itself.
	mallopt(M_ARENA_MAX, 1);
	Arguments arguments;
	if (!read_arguments(argc, argv, arguments)) {
		fputs(kUsage, stderr);
		return 2;
	}
	if (arguments.version) {
		printf(VANTRY_VERSION_LINE("vantry-build"), vantry_version());
		return 0;
	}
	if (arguments.help) {
		fputs(kUsage, stdout);
		return 0;
	}
	const auto start = std::chrono::steady_clock::now();
	ProductDescription description;
	if (description.Load(arguments.description.c_str()) != B_OK) {
		print_errors(description.Errors(), arguments.description);
		return 1;
	}
	for (const std::string& warning : product_warnings(description.GetProduct()))
		fprintf(stderr, "%s\n", warning.c_str());
	if (arguments.checkOnly) {
		std::vector<std::string> errors;
		if (ConfigWriter(description.GetProduct()).Check(&errors) != B_OK) {
			print_errors(errors, arguments.description);
			return 1;
		}
		printf("%s: the description is fine (%zu items)\n", arguments.description.c_str(),
		       description.GetProduct().install_file.size());
		return 0;
	}
	if (!find_parts(arguments.parts))
		return 1;
	std::string error;
	if (read_build_time(&arguments.parts.buildTime, &error) != B_OK) {
		fprintf(stderr, "vantry-build: %s\n", error.c_str());
		return 1;
	}
	// The key is read, and its password asked for, before the long part.
	std::unique_ptr<SigningKey> key;
	if (!arguments.key.empty()) {
		key.reset(new SigningKey(arguments.key));
		if (key->InitCheck() != B_OK) {
			fprintf(stderr, "vantry-build: %s\n", key->ErrorText().c_str());
			return 1;
		}
		arguments.parts.key = key.get();
	}
	InstallerWriter writer(description.GetProduct(), arguments.parts);
	const status_t written = writer.Write(arguments.output);
	for (const std::string& warning : writer.Warnings())
		fprintf(stderr, "%s\n", warning.c_str());
	if (written != B_OK) {
		print_errors(writer.Errors(), arguments.description);
		return 1;
	}
	const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
	print_summary(writer.Packed(), arguments.output, took.count());
	return 0;
}
