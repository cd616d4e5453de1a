// CustomFolder: a destination a product defines itself: a standard folder to
// start from, a path below it and whether an existing folder is replaced, in
// its record, preference and text forms.
#pragma once

#include "FindDirectory.h"
#include "LibString.h"

class BMessage;

class CustomFolder {
public:
	CustomFolder();
	CustomFolder(const char* name);
	CustomFolder(const CustomFolder& other);
	virtual ~CustomFolder();

	void SetName(const char* name);
	void ParentFolder(const directory_which& folder);
	void SubFolder(const char* path);
	void Replace(const bool& replace);
	void CommonDef(const bool& common);

	const LibString& Name() const { return fName; }
	directory_which Parent() const { return fParent; }
	const LibString& Sub() const { return fSub; }
	bool IsReplace() const { return fReplace; }
	bool IsCommon() const { return fCommon; }

	CustomFolder& operator=(const CustomFolder& other);
	bool operator==(const CustomFolder& other) const;
	bool operator>(const CustomFolder& other) const;

	// "name;parent;sub;replace;" with replace as 0 or 1.
	LibString AttrDescription() const;
	void SetFromAttrDescription(const LibString& text);

	// The record form (one item of the record's `custom_folder` field).
	void Write(BMessage& message);
	void Read(const BMessage& message);
	// The numbered preference form for index n.
	void WritePref(const long& n, BMessage& message);
	void ReadPref(const long& n, BMessage& message);

	void PrintToStream() const;

private:
	LibString fName;
	directory_which fParent;
	LibString fSub;
	bool fReplace;
	bool fCommon;
};
