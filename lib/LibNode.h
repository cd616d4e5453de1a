// LibNode: a node with typed attribute reading and writing, and files kept
// as ZIP archives in attributes.
#pragma once

#include "LibString.h"
#include "Node.h"

class BEntry;
class BMessage;

class LibNode : public BNode {
public:
	LibNode();
	explicit LibNode(const char* path);
	explicit LibNode(const entry_ref* ref);
	explicit LibNode(const BEntry* entry);
	virtual ~LibNode();

	// Reads and unflattens a 'RAWT' attribute; false when it is missing or
	// no valid message.
	bool ReadMessageAttr(const char* name, BMessage& message);
	bool WriteMessageAttr(const char* name, const BMessage& message);
	// True when exactly one byte was read.
	bool ReadBoolAttr(const char* name, bool& value);
	bool WriteBoolAttr(const char* name, const bool& value);
	// True when exactly four bytes were read; `value` is untouched otherwise.
	bool ReadInt32Attr(const char* name, int32& value);
	bool WriteInt32Attr(const char* name, const int32& value);
	// The bytes read (the text set to them), or a negative error.
	ssize_t ReadStringAttr(const char* name, LibString& text);
	// The characters without NUL: the count written, or a negative error.
	ssize_t WriteStringAttr(const char* name, const char* text);

	// Keeps a ZIP archive of the file at `path` in attribute `name`, written
	// 1024 bytes at a time; the old value stays when that fails.
	bool CompressFile(const char* name, const char* path);
	// Writes the attribute's file to `path` (the archive's file with `unzip`,
	// the raw bytes without), replacing it only when all went well, then types
	// it. True, nothing done, when there is no such attribute.
	bool UncompressFile(const char* path, const char* name, const bool& unzip);

private:
	// Removes the attribute, then writes the value at offset 0.
	ssize_t _Replace(const char* name, type_code type, const void* data, size_t length);
	bool _ReadWhole(const char* name, std::string& value);
};
