// InstallerSigner: signs a built installer with a minisign key: the
// signature resource inside it (see InstallerSignature.h) and OUT.minisig
// beside it, which `minisign -Vm OUT -p KEY.pub` verifies.
#pragma once

#include <sys/types.h>

#include <string>

#include "SupportDefs.h"

class BResources;
class SigningKey;

class InstallerSigner {
public:
	explicit InstallerSigner(const SigningKey& key);

	// Adds the signature resource, of the size it will need, to resources
	// not yet written; `programSize` is the size of the program they go into.
	status_t Reserve(BResources& resources, const off_t& programSize);
	// Signs the written installer at `path` in place.
	status_t Sign(const std::string& path);
	// Writes `minisig` for the whole file at `path`, whose leaf the
	// trusted comment names with the time `when`.
	status_t WriteMinisig(const std::string& path, const std::string& minisig,
	                      const std::string& leaf, const int64& when);
	const std::string& ErrorText() const { return fError; }

private:
	status_t Fail(const std::string& text);
	// Gives the resource at `path` room for `parts` parts, writing the file again.
	status_t Resize(const std::string& path, const size_t& parts);

	const SigningKey& fKey;
	std::string fError;
};
