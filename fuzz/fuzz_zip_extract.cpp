// links: vantry_resources
// Treats the input as a payload archive and extracts it into a folder deep
// inside a sandbox: nothing may appear in the sandbox outside that folder.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "PayloadExtractor.h"

namespace {

struct Sandbox {
	std::string root;
	std::string archive;
	std::string target;

	Sandbox()
	{
		std::string pattern =
		        std::filesystem::temp_directory_path().string() + "/vantry-fuzz-zip-XXXXXX";
		if (mkdtemp(pattern.data()) == nullptr)
			abort();
		root = pattern;
		archive = root + "/archive.zip";
		target = root + "/a/b/out";
		std::filesystem::create_directories(target);
	}
	~Sandbox() { std::filesystem::remove_all(root); }
};

Sandbox& sandbox()
{
	static Sandbox box;
	return box;
}

// Every entry of the sandbox outside the target folder, without following links.
bool only_expected_entries(const Sandbox& box)
{
	for (auto it = std::filesystem::recursive_directory_iterator(box.root);
	     it != std::filesystem::recursive_directory_iterator(); ++it) {
		std::string path = it->path().string();
		if (path == box.target) {
			it.disable_recursion_pending();
			continue;
		}
		if (path != box.archive && path != box.root + "/a" && path != box.root + "/a/b")
			return false;
	}
	return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	Sandbox& box = sandbox();
	{
		std::ofstream out(box.archive, std::ios::binary | std::ios::trunc);
		out.write(reinterpret_cast<const char*>(data), size);
	}
	PayloadExtractor extractor;
	extractor.SetLimits(4096, 1024);
	extractor.Extract(box.archive.c_str(), 0, size, box.target.c_str(), "item");
	if (!only_expected_entries(box)) {
		fprintf(stderr, "an entry appeared outside the target folder\n");
		abort();
	}
	std::filesystem::remove_all(box.target);
	std::filesystem::create_directories(box.target);
	return 0;
}
