// The trees the case benchmark installs: generated ones (words, random
// bytes, tiny files) and copies of real software trees on this machine.
#pragma once

#include <glob.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "SupportDefs.h"

namespace bench_trees {

namespace fs = std::filesystem;

// `cp -a source folder/`: links, modes and times kept.
inline bool CopyInto(const std::string& source, const std::string& folder)
{
	const pid_t child = fork();
	if (child == 0) {
		execlp("cp", "cp", "-a", source.c_str(), (folder + "/").c_str(), nullptr);
		_exit(127);
	}
	int status = 0;
	return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
	       WEXITSTATUS(status) == 0;
}

// Text-like data from a small vocabulary: it deflates to about a third.
inline void WriteWords(std::ofstream& out, uint64 left, std::mt19937_64& random)
{
	static const char* words[] = {"install ",   "payload ",  "archive ", "Vantry ",
	                              "attribute ", "resource ", "folder ",  "deinstall "};
	std::string block;
	while (left > 0) {
		block.clear();
		while (block.size() < std::min<uint64>(left, 65536)) {
			const uint64 r = random();
			block += words[r & 7];
			block += std::to_string(r >> 44);
		}
		const size_t n = size_t(std::min<uint64>(left, block.size()));
		out.write(block.data(), std::streamsize(n));
		left -= n;
	}
}

inline void WriteRandom(std::ofstream& out, uint64 left, std::mt19937_64& random)
{
	std::vector<uint64> block(1 << 17);
	while (left > 0) {
		for (uint64& word : block)
			word = random();
		const size_t n = size_t(std::min<uint64>(left, block.size() * sizeof(uint64)));
		out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(n));
		left -= n;
	}
}

// Today's benchmark tree: 20 000 files, 1 GB, 200 to a folder.
inline void WriteSynthetic(const std::string& root, double scale)
{
	const int files = std::max(10, int(20000 * scale));
	const uint64 average = uint64(1024.0 * 1024 * 1024 * scale) / uint64(files);
	std::mt19937_64 random(42);
	for (int i = 0; i < files; i++) {
		const std::string folder = root + "/d" + std::to_string(i / 200);
		if (i % 200 == 0)
			fs::create_directories(folder);
		std::ofstream out(folder + "/f" + std::to_string(i) + ".txt", std::ios::binary);
		WriteWords(out, average / 5 + random() % (average * 8 / 5 + 1), random);
	}
}

// Headers and Python sources: what every Debian build machine holds.
inline bool WriteReal(const std::string& root, std::string* origin)
{
	origin->clear();
	std::vector<std::string> sources = {"/usr/include"};
	glob_t found = {};
	if (glob("/usr/lib/python3.[0-9]*", 0, nullptr, &found) == 0 && found.gl_pathc > 0)
		sources.push_back(found.gl_pathv[found.gl_pathc - 1]);
	globfree(&found);
	fs::create_directories(root);
	for (const std::string& source : sources) {
		if (!fs::is_directory(source) || !CopyInto(source, root))
			return false;
		*origin += (origin->empty() ? "" : " + ") + source;
	}
	return true;
}

// Copies of the first of `candidates` found (globs), or of all of them.
inline bool CopyTrees(const std::string& root, const std::vector<std::string>& candidates, bool all,
                      std::string* origin)
{
	origin->clear();
	fs::create_directories(root);
	for (const std::string& pattern : candidates) {
		glob_t found = {};
		std::vector<std::string> paths;
		if (glob(pattern.c_str(), 0, nullptr, &found) == 0)
			paths.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
		globfree(&found);
		for (const std::string& source : paths) {
			if (!fs::is_directory(source) || fs::is_symlink(source))
				continue;
			if (!CopyInto(source, root))
				return false;
			*origin += (origin->empty() ? "" : " + ") + source;
			if (!all)
				return true;
			break;
		}
	}
	return !origin->empty();
}

// Large binaries: a Java runtime, as products ship one, else a compiler's.
inline bool WriteRuntime(const std::string& root, std::string* origin)
{
	return CopyTrees(
	        root,
	        {"/usr/lib/jvm/java-*-openjdk-*", "/usr/lib/jvm/*", "/usr/lib/llvm-*", "/usr/lib/gcc"},
	        false, origin);
}

// Many small files: headers, scripts and package texts.
inline bool WriteSource(const std::string& root, std::string* origin)
{
	return CopyTrees(root,
	                 {"/usr/include", "/usr/lib/python3.[0-9]*", "/usr/share/cmake-*",
	                  "/usr/lib/node_modules", "/usr/share/perl", "/usr/share/doc"},
	                 true, origin);
}

inline void WriteLarge(const std::string& root, double scale)
{
	fs::create_directories(root);
	std::mt19937_64 random(7);
	std::ofstream out(root + "/random.bin", std::ios::binary);
	WriteRandom(out, uint64(512.0 * 1024 * 1024 * scale), random);
}

// Files of 1 to 1023 bytes, one in four of random bytes, 200 to a folder.
inline void WriteTiny(const std::string& root, double scale)
{
	const int files = std::max(10, int(50000 * scale));
	std::mt19937_64 random(11);
	for (int i = 0; i < files; i++) {
		const std::string folder = root + "/d" + std::to_string(i / 200);
		if (i % 200 == 0)
			fs::create_directories(folder);
		std::ofstream out(folder + "/f" + std::to_string(i), std::ios::binary);
		const uint64 size = 1 + random() % 1023;
		if (i % 4 == 3)
			WriteRandom(out, size, random);
		else
			WriteWords(out, size, random);
	}
}

inline bool WriteCase(const std::string& name, const std::string& root, double scale,
                      std::string* origin)
{
	*origin = "generated";
	if (name == "synthetic")
		WriteSynthetic(root, scale);
	else if (name == "real")
		return WriteReal(root, origin);
	else if (name == "large")
		WriteLarge(root, scale);
	else if (name == "tiny")
		WriteTiny(root, scale);
	else if (name == "runtime")
		return WriteRuntime(root, origin);
	else if (name == "source")
		return WriteSource(root, origin);
	else
		return false;
	return true;
}

} // namespace bench_trees
