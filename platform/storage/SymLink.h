// BSymLink: a symbolic link node, read without being followed.
#pragma once

#include "Node.h"

class BPath;

class BSymLink : public BNode {
public:
	BSymLink();
	BSymLink(const BSymLink& link);
	BSymLink(const entry_ref* ref);
	BSymLink(const BEntry* entry);
	BSymLink(const char* path);
	BSymLink(const BDirectory* dir, const char* path);
	virtual ~BSymLink();

	// The link's text, NUL-terminated and cut to `size`; its length, or
	// B_BAD_VALUE when the node is not a link.
	ssize_t ReadLink(char* buffer, size_t size);
	// The path the link points to, relative links taken from `dirPath`
	// (the folder holding the link); the length of that path.
	ssize_t MakeLinkedPath(const char* dirPath, BPath* path);
	ssize_t MakeLinkedPath(const BDirectory* dir, BPath* path);
	bool IsAbsolute();

	BSymLink& operator=(const BSymLink& link);

private:
	status_t _Contents(std::string* text) const;
};
