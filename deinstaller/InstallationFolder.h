// InstallationFolder: what an installation leaves in its own folder besides
// the product (its log, an empty "Saved Files", the deinstaller), removed
// once every entry of the product is gone.
#pragma once

#include <string>
#include <vector>

struct FolderCleanup {
	// Each entry removed, the folder itself last.
	std::vector<std::string> removed;
	// The folder when it stays, with the reason ("it holds NAME").
	std::string kept;
	std::string reason;
};

// Removes the installation's own files from the folder of `deinstaller` (the
// running program, unlinked last among them) and the folder, when it holds
// nothing else. Nothing is removed from a folder that holds anything else.
FolderCleanup RemoveInstallationFolder(const std::string& deinstaller);

// Removes each of `folders` (folders the installation made for its items,
// links and menu entries) that is empty once the product is gone, inner
// before outer; one that holds anything stays, named with the reason.
std::vector<FolderCleanup> RemoveCreatedFolders(const std::vector<std::string>& folders);
