// The installer file's length checked against its own tables.
#include "InstallerFileCheck.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ResourceFile.h"

std::string InstallerFileDamage(const char* path)
{
	char resolved[PATH_MAX];
	if (path == nullptr || realpath(path, resolved) == nullptr)
		return std::string();
	// A file that may be run but not read carries a product no one can see.
	const int fd = open(resolved, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return std::string("cannot read the installer file ") + resolved + ": " + strerror(errno);
	close(fd);
	off_t expected = 0;
	off_t actual = 0;
	bool atLeast = false;
	if (resource_file_sizes(resolved, &expected, &actual, &atLeast) != B_OK || actual >= expected)
		return std::string();
	return std::string("the installer file ") + resolved +
	       " is incomplete or damaged: it should be " + (atLeast ? "at least " : "") +
	       std::to_string(expected) + " bytes long but is " + std::to_string(actual) +
	       " bytes (a download cut short?); nothing was installed, " +
	       "download the installer again";
}
