// The menu message of an item, written and read back field by field.
#include "MenuRecord.h"

const char* const MenuRecord::kMenu = "menu";

namespace {

void AddList(BMessage& message, const char* field, const std::vector<std::string>& names)
{
	for (const std::string& name : names)
		message.AddString(field, name.c_str());
}

std::vector<std::string> FindList(const BMessage& message, const char* field)
{
	std::vector<std::string> names;
	std::string name;
	for (int32 i = 0; message.FindString(field, i, &name) == B_OK; i++)
		names.push_back(name);
	return names;
}

std::string FindText(const BMessage& message, const char* field)
{
	std::string text;
	message.FindString(field, &text);
	return text;
}

} // namespace

status_t MenuRecord::Write(BMessage& item) const
{
	BMessage menu;
	menu.AddString("name", name.c_str());
	menu.AddString("generic_name", genericName.c_str());
	menu.AddString("comment", comment.c_str());
	AddList(menu, "categories", categories);
	AddList(menu, "keywords", keywords);
	AddList(menu, "mime_types", mimeTypes);
	if (terminal >= 0)
		menu.AddBool("terminal", terminal == 1);
	for (const auto& [language, texts] : translations) {
		BMessage translation;
		translation.AddString("language", language.c_str());
		translation.AddString("name", texts.first.c_str());
		translation.AddString("comment", texts.second.c_str());
		menu.AddMessage("translation", &translation);
	}
	if (!svg.empty())
		menu.AddData("icon_svg", B_RAW_TYPE, svg.data(), ssize_t(svg.size()), false);
	for (const auto& [size, png] : pngs) {
		menu.AddInt32("icon_size", size);
		menu.AddData("icon_png", B_RAW_TYPE, png.data(), ssize_t(png.size()), false);
	}
	return item.AddMessage(kMenu, &menu);
}

bool MenuRecord::Read(const BMessage& item)
{
	BMessage menu;
	if (item.FindMessage(kMenu, &menu) != B_OK)
		return false;
	*this = MenuRecord();
	name = FindText(menu, "name");
	genericName = FindText(menu, "generic_name");
	comment = FindText(menu, "comment");
	categories = FindList(menu, "categories");
	keywords = FindList(menu, "keywords");
	mimeTypes = FindList(menu, "mime_types");
	bool inTerminal = false;
	if (menu.FindBool("terminal", &inTerminal) == B_OK)
		terminal = inTerminal ? 1 : 0;
	BMessage translation;
	for (int32 i = 0; menu.FindMessage("translation", i, &translation) == B_OK; i++)
		translations[FindText(translation, "language")] = {FindText(translation, "name"),
		                                                   FindText(translation, "comment")};
	const void* data = nullptr;
	ssize_t size = 0;
	if (menu.FindData("icon_svg", B_RAW_TYPE, &data, &size) == B_OK)
		svg.assign(static_cast<const char*>(data), size_t(size));
	int32 pixels = 0;
	for (int32 i = 0; menu.FindInt32("icon_size", i, &pixels) == B_OK &&
	                  menu.FindData("icon_png", B_RAW_TYPE, i, &data, &size) == B_OK;
	     i++)
		pngs[pixels].assign(static_cast<const char*>(data), size_t(size));
	return true;
}
