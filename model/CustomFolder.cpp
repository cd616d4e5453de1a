// CustomFolder: a product's own destination folder and its message forms.
#include "CustomFolder.h"

#include <cstdio>

#include "LibStringIterator.h"
#include "Message.h"

namespace {

// A preference field name numbered with n, as "custom_folder_name_%ld".
LibString numbered(const char* base, const long& n)
{
	LibString name;
	name.Formatted("%s_%ld", base, n);
	return name;
}

} // namespace

CustomFolder::CustomFolder() : fParent((directory_which)0), fReplace(true), fCommon(false) {}

CustomFolder::CustomFolder(const char* name)
    : fName(name), fParent((directory_which)0), fReplace(true), fCommon(false)
{
}

CustomFolder::CustomFolder(const CustomFolder& other) : CustomFolder()
{
	*this = other;
}

CustomFolder::~CustomFolder() {}

void CustomFolder::SetName(const char* name)
{
	fName = name;
}

void CustomFolder::ParentFolder(const directory_which& folder)
{
	fParent = folder;
}

void CustomFolder::SubFolder(const char* path)
{
	fSub = path;
}

void CustomFolder::Replace(const bool& replace)
{
	fReplace = replace;
}

void CustomFolder::CommonDef(const bool& common)
{
	fCommon = common;
}

CustomFolder& CustomFolder::operator=(const CustomFolder& other)
{
	fName = other.fName;
	fParent = other.fParent;
	fSub = other.fSub;
	fReplace = other.fReplace;
	fCommon = other.fCommon;
	return *this;
}

bool CustomFolder::operator==(const CustomFolder& other) const
{
	return fName.Compare(other.fName) == 0;
}

bool CustomFolder::operator>(const CustomFolder& other) const
{
	return fName.Compare(other.fName) > 0;
}

LibString CustomFolder::AttrDescription() const
{
	LibString text;
	text.Formatted("%s;%d;%s;%d;", fName.String(), (int)fParent, fSub.String(), fReplace ? 1 : 0);
	return text;
}

void CustomFolder::SetFromAttrDescription(const LibString& text)
{
	LibStringIterator fields(text);
	LibString field;
	fields.GetNextField(';', field);
	fName = field;
	field = "";
	fields.GetNextField(';', field);
	int32 parent = 0;
	fParent = (directory_which)(field.GetInt32(parent) ? parent : 0);
	field = "";
	fields.GetNextField(';', field);
	fSub = field;
	field = "";
	fields.GetNextField(';', field);
	int32 replace = 0;
	fReplace = field.GetInt32(replace) && replace != 0;
}

void CustomFolder::Write(BMessage& message)
{
	message.AddString("custom_folder_name", fName.String());
	message.AddInt32("custom_root_dir", (int32)fParent);
	message.AddString("custom_sub_dir", fSub.String());
	message.AddBool("custom_replace_existing", fReplace);
}

void CustomFolder::Read(const BMessage& message)
{
	const char* text = nullptr;
	if (message.FindString("custom_folder_name", &text) == B_OK)
		fName = text;
	fParent = (directory_which)message.FindInt32("custom_root_dir");
	if (message.FindString("custom_sub_dir", &text) == B_OK)
		fSub = text;
	fReplace = message.FindBool("custom_replace_existing");
}

void CustomFolder::WritePref(const long& n, BMessage& message)
{
	message.AddString(numbered("custom_folder_name", n), fName.String());
	message.AddInt32(numbered("custom_folder_parent", n), (int32)fParent);
	message.AddString(numbered("custom_folder_sub_dir", n), fSub.String());
	message.AddBool(numbered("custom_folder_replace", n), fReplace);
}

void CustomFolder::ReadPref(const long& n, BMessage& message)
{
	const char* text = nullptr;
	if (message.FindString(numbered("custom_folder_name", n), &text) == B_OK)
		fName = text;
	fParent = (directory_which)message.FindInt32(numbered("custom_folder_parent", n));
	if (message.FindString(numbered("custom_folder_sub_dir", n), &text) == B_OK)
		fSub = text;
	fReplace = message.FindBool(numbered("custom_folder_replace", n));
}

void CustomFolder::PrintToStream() const
{
	fprintf(stderr, "CustomFolder name (%s), sub (%s), replace %d, common %d\n", fName.String(),
	        fSub.String(), fReplace ? 1 : 0, fCommon ? 1 : 0);
}
