// ReplaceAlert: texts in nine languages, the description of both entries and
// the "apply to all future collisions" check box.
#include "ReplaceAlert.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "AppFileInfo.h"
#include "BitmapView.h"
#include "File.h"
#include "LibBytes.h"
#include "LibDateTime.h"
#include "LibLocaleDateTime.h"
#include "LibPathParts.h"
#include "LibStringView.h"
#include "Message.h"
#include "MimeDatabase.h"
#include "MimeType.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Path.h"
#include "StringView.h"
#include "TextView.h"

struct ReplaceAlert::Texts {
	const char* language;
	const char* replace;
	const char* dontReplace;
	const char* file;
	const char* folder;
	const char* link;
	const char* created;
	const char* modified;
	const char* size;
	const char* kind;
	const char* path;
	const char* version;
	const char* with;
	const char* checkBox;
	const char* question;
};

namespace {

// One row a language, made from data/strings/collision; the first row speaks
// for every code without a row of its own.
const ReplaceAlert::Texts kTexts[] = {
#include "CollisionTexts.inc"
};

const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kDefaultColor = {0, 0, 0, 255};
const float kSmallFont = 10;
const float kRowHeight = 15;
const float kValueWidth = 150;
const float kPathWidth = 135;
const float kWideModifiedWidth = 220;
const float kIconSize = 32;

// The rectangle (x, y, x + w, y + h).
BRect L(const float& x, const float& y, const float& w, const float& h)
{
	return BRect(x, y, x + w, y + h);
}

const char* KindWord(const char* path, const ReplaceAlert::Texts& texts)
{
	struct stat info;
	if (lstat(path, &info) != 0)
		return texts.file;
	if (S_ISLNK(info.st_mode))
		return texts.link;
	if (S_ISDIR(info.st_mode))
		return texts.folder;
	return texts.file;
}

// Composed without a fixed limit: leaf names run to 255 bytes.
std::string Question(const ReplaceAlert::Texts& texts, const char* kind, const char* leaf)
{
	const int length = snprintf(nullptr, 0, texts.question, kind, leaf);
	if (length <= 0)
		return std::string();
	std::string text(size_t(length) + 1, '\0');
	snprintf(text.data(), text.size(), texts.question, kind, leaf);
	text.resize(size_t(length));
	return text;
}

std::string DateText(const time_t& seconds)
{
	LibLocaleDateTime format;
	format.SetSeperator(", ");
	format.SetFormat("W, M D Y");
	format.SetShowSeconds(true);
	LibDateTime date;
	date.SetDateTime(seconds, true);
	return format.Format(date).String();
}

std::string EntryDate(const char* path, const bool& creation)
{
	BNode node(path);
	time_t seconds = 0;
	const status_t status =
	        creation ? node.GetCreationTime(&seconds) : node.GetModificationTime(&seconds);
	return status == B_OK ? DateText(seconds) : std::string();
}

// Bytes of a file, or of everything in a folder; links are not followed.
int64 EntrySize(const char* path)
{
	namespace fs = std::filesystem;
	std::error_code error;
	const fs::file_status status = fs::symlink_status(path, error);
	if (error)
		return 0;
	if (!fs::is_directory(status))
		return fs::is_regular_file(status) ? int64(fs::file_size(path, error)) : 0;
	int64 total = 0;
	for (fs::recursive_directory_iterator it(path, error), end; !error && it != end;
	     it.increment(error)) {
		if (it->is_regular_file(error) && !it->is_symlink(error))
			total += int64(it->file_size(error));
	}
	return total;
}

std::string SizeText(const char* path)
{
	LibString text;
	LibBytesToString(EntrySize(path), text, 1);
	return text.String();
}

// The entry's type: its own, else what its name or its first bytes say.
std::string EntryType(const char* path)
{
	BNode node(path);
	BNodeInfo nodeInfo(&node);
	char type[B_MIME_TYPE_LENGTH] = "";
	if (nodeInfo.InitCheck() == B_OK)
		nodeInfo.GetType(type);
	if (type[0] != '\0' && strcmp(type, "application/octet-stream") != 0)
		return type;
	const char* slash = strrchr(path, '/');
	const std::string named = mime_type_for_name(slash != nullptr ? slash + 1 : path);
	if (!named.empty())
		return named;
	BMimeType sniffed;
	if (BMimeType::GuessMimeType(path, &sniffed) == B_OK)
		return sniffed.Type();
	return type;
}

// The kind names of the file manager's information window, and for other
// types the type databases' description in the dialog's language.
std::string KindText(const char* path, const char* language)
{
	struct stat info;
	if (lstat(path, &info) != 0)
		return "Unknown";
	if (S_ISLNK(info.st_mode))
		return "Symbolic Link";
	if (S_ISDIR(info.st_mode))
		return "Folder";
	const std::string type = EntryType(path);
	if (type == "application/x-vnd.Be-elfexecutable")
		return "Be Application";
	const std::string description = mime_type_description(type, language);
	if (!description.empty())
		return description;
	return type.empty() ? "Unknown" : type;
}

std::string VersionText(const char* path)
{
	BFile file(path, B_READ_ONLY);
	BAppFileInfo appInfo(&file);
	version_info version;
	if (appInfo.InitCheck() != B_OK || appInfo.GetVersionInfo(&version, B_APP_VERSION_KIND) != B_OK)
		return std::string();
	return version.short_info;
}

} // namespace

const ReplaceAlert::Texts& ReplaceAlert::TextsFor(const char* language)
{
	for (const Texts& texts : kTexts) {
		if (language != nullptr && strcmp(texts.language, language) == 0)
			return texts;
	}
	return kTexts[0];
}

ReplaceAlert::ReplaceAlert(const BPath& from, const BPath& to, bool show_check_box,
                           const char* language)
    : BAlert("ReplaceAlert", "", TextsFor(language).dontReplace, TextsFor(language).replace,
             nullptr, B_WIDTH_FROM_WIDEST, B_WARNING_ALERT),
      future_collisions_box(-1), apply_to_all(false), fExtraHeight(show_check_box ? 240 : 220),
      fAnswer(nullptr)
{
	const Texts& texts = TextsFor(language);
	const char* toPath = to.Path() != nullptr ? to.Path() : "";
	const char* toLeaf = to.Leaf() != nullptr ? to.Leaf() : "";
	TextView()->SetText(Question(texts, KindWord(toPath, texts), toLeaf).c_str());
	SetShortcut(0, 'd');
	SetShortcut(1, 'r');

	// Both blocks name the folder the entry is in or is going to.
	const std::string folder = LibParentOf(toPath);
	fViews.push_back({"BitmapView", "to_image", BRect(0, 65, kIconSize - 1, 65 + kIconSize - 1), "",
	                  toPath, kDefaultColor, 0, 0});
	AddEntryBlock("to", to, folder, 35, kValueWidth, texts);
	fViews.push_back({"BStringView", "with", L(0, 125, 50, kRowHeight), texts.with, "",
	                  kDefaultColor, 0, 0});
	fViews.push_back({"BitmapView", "from_image", BRect(0, 170, kIconSize - 1, 170 + kIconSize - 1),
	                  "", from.Path() != nullptr ? from.Path() : "", kDefaultColor, 0, 0});
	AddEntryBlock("from", from, folder, 140, kWideModifiedWidth, texts);
	if (show_check_box) {
		fViews.push_back({"BCheckBox", "future_collisions", L(0, 235, 300, kRowHeight),
		                  texts.checkBox, "", kDefaultColor, kSmallFont, 0});
		future_collisions_box = AddCheckBox(texts.checkBox, &apply_to_all);
	}
	apply_to_all = false;
	const float grown = std::max(QuestionHeight(Frame().Width()), kIconSize) - kIconSize;
	ResizeBy(WidthShortfall(), 0);
	FitPaths();
	PlaceBelowQuestion(grown);
	AddRealViews();
	ResizeBy(0, fExtraHeight);
}

float ReplaceAlert::QuestionHeight(const float& alertWidth) const
{
	const float width = alertWidth - kTextLeft - kMargin;
	BTextView measure(BRect(0, 0, width, 10), "", BRect(0, 0, width, 10), 0, 0);
	BFont font;
	TextView()->GetFont(&font);
	measure.SetFont(&font);
	measure.SetText(Text());
	return measure.CountLines() * measure.LineHeight();
}

void ReplaceAlert::FitPaths()
{
	const float right = Frame().Width() - kTextLeft - kMargin - 1;
	for (View& view : fViews) {
		if (view.truncation == 1)
			view.frame.right = right;
	}
}

// The rows begin below a question of two lines; a longer one moves them
// down, and the alert grows by what its text did not already add.
void ReplaceAlert::PlaceBelowQuestion(const float& grown)
{
	const float kFirstRow = 35;
	const float shift = std::max(0.0f, std::ceil(QuestionHeight(Frame().Width())) + 5 - kFirstRow);
	for (View& view : fViews)
		view.frame.OffsetBy(0, shift);
	fExtraHeight += std::max(0.0f, shift - grown);
}

float ReplaceAlert::WidthShortfall() const
{
	float right = 0;
	for (const View& view : fViews)
		right = std::max(right, view.frame.right);
	const float textWidth = Frame().Width() - kTextLeft - kMargin;
	return std::max(0.0f, right + 1 - textWidth);
}

// The descriptions become the views the alert window shows; the check box
// stays the alert's own control, so every presenter can answer it.
void ReplaceAlert::AddRealViews()
{
	for (const View& view : fViews) {
		BView* real = nullptr;
		if (view.className == "BitmapView") {
			real = new BitmapView(view.frame.LeftTop(), view.name.c_str(), view.iconPath.c_str());
		} else if (view.className == "LibStringView") {
			auto* text = new LibStringView(view.frame, view.name.c_str(), "");
			text->SetTruncatedText(view.text.c_str(), B_TRUNCATE_BEGINNING);
			real = text;
		} else if (view.className == "BStringView") {
			real = new BStringView(view.frame, view.name.c_str(), view.text.c_str());
		}
		if (real == nullptr)
			continue;
		real->SetHighColor(view.color);
		if (view.fontSize > 0)
			real->SetFontSize(view.fontSize);
		TextView()->AddChild(real);
	}
}

ReplaceAlert::~ReplaceAlert()
{
	if (fAnswer != nullptr)
		*fAnswer = apply_to_all;
}

int32 ReplaceAlert::Go(bool& apply_to_all_answer)
{
	fAnswer = &apply_to_all_answer;
	return BAlert::Go();
}

void ReplaceAlert::MessageReceived(BMessage* message)
{
	if (message == nullptr || message->what != REPLACE_ALERT_APPLY_TO_ALL)
		return;
	apply_to_all = message->FindInt32("be:value") == 1;
	SetControlValue(future_collisions_box, apply_to_all ? 1 : 0);
}

const ReplaceAlert::View* ReplaceAlert::ViewAt(const int32& index) const
{
	if (index < 0 || index >= CountViews())
		return nullptr;
	return &fViews[size_t(index)];
}

const ReplaceAlert::View* ReplaceAlert::FindView(const char* name) const
{
	for (const View& view : fViews) {
		if (name != nullptr && view.name == name)
			return &view;
	}
	return nullptr;
}

void ReplaceAlert::AddEntryBlock(const char* prefix, const BPath& path, const std::string& folder,
                                 const float& top, const float& modifiedWidth, const Texts& texts)
{
	const char* entry = path.Path() != nullptr ? path.Path() : "";
	float row = top;
	AddRow(prefix, "creation", texts.created, EntryDate(entry, true), row, kValueWidth);
	AddRow(prefix, "modified", texts.modified, EntryDate(entry, false), row += kRowHeight,
	       modifiedWidth);
	AddRow(prefix, "size", texts.size, SizeText(entry), row += kRowHeight, kValueWidth);
	AddRow(prefix, "kind", texts.kind, KindText(entry, texts.language), row += kRowHeight,
	       kValueWidth);
	AddRow(prefix, "path", texts.path, folder, row += kRowHeight, kPathWidth, true);
	AddRow(prefix, "version", texts.version, VersionText(entry), row += kRowHeight, kValueWidth);
}

void ReplaceAlert::AddRow(const char* prefix, const char* field, const char* label,
                          const std::string& value, const float& top, const float& width,
                          const bool& truncatedPath)
{
	const std::string name = std::string(prefix) + "_" + field;
	fViews.push_back({"BStringView", name + "_label", L(40, top, 65, kRowHeight), label, "", kRed,
	                  kSmallFont, 0});
	fViews.push_back({truncatedPath ? "LibStringView" : "BStringView", name,
	                  L(110, top, width, kRowHeight), value, "", kDefaultColor, kSmallFont,
	                  truncatedPath ? 1 : 0});
}
