// InstallerWin: language, install types and items, volumes, the destination
// folder and the group tips.
#include "InstallerWin.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Alert.h"
#include "Application.h"
#include "Box.h"
#include "Button.h"
#include "CheckBox.h"
#include "ConfigRecord.h"
#include "Directory.h"
#include "EarlierInstallation.h"
#include "Entry.h"
#include "InstallImage.h"
#include "InstallListItem.h"
#include "LibBytes.h"
#include "LibEntry.h"
#include "LibFilePanel.h"
#include "LibFolderChooser.h"
#include "LibListView.h"
#include "LibMenuField.h"
#include "LibPathParts.h"
#include "LibPictureButton.h"
#include "LibStringIterator.h"
#include "LibStringView.h"
#include "LibVolumeMenu.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Path.h"
#include "PublisherCheck.h"
#include "ScrollBar.h"
#include "ScrollView.h"
#include "StringItem.h"
#include "StringView.h"
#include "Volume.h"
#include "Window.h"
#include "oLocalize.h"

namespace {

LibString Text(const long& id)
{
	oLocalize localizer;
	return localizer.GetString(id);
}

const int32 kTipWidth = 160;

// The free space as LibBytesToString writes it, or in larger units when that
// is wider than `room`: the volume menu covers the rest of the view.
LibString FreeSpaceText(const int64& bytes, const BView* view, const float& room)
{
	LibString text;
	LibBytesToString(bytes, text, 1);
	const char* units[] = {"GB", "TB"};
	double value = double(bytes) / 1048576;
	for (const char* unit : units) {
		if (view->StringWidth(text.String()) <= room)
			break;
		value /= 1024;
		text.Formatted("%.1f %s", value, unit);
	}
	return text;
}

} // namespace

void InstallerWin::SetLanguage()
{
	if (!Lock())
		return;
	// One localizer for all the texts: each opens the program's resources.
	oLocalize localizer;
	options->Clear();
	license_box->SetLabel(localizer.GetString(1001).String());
	install_box->SetLabel(localizer.GetString(1002).String());
	install_type_label->SetText(localizer.GetString(1003).String());
	file_label->SetText(localizer.GetString(1004).String());
	folder->AddTip(INSTALLER_TIP, localizer.GetString(1005).String());
	volume->SetLabel(localizer.GetString(1006).String());
	if (all_users != nullptr)
		all_users->SetLabel(localizer.GetString(1201).String());
	RelabelStep();
	product_view->SetSignature(
	        PublisherCheck::LocalSummary(ConfigRecord(engine).Company()).c_str());
	LibStringIterator names(localizer.GetString(1000));
	LibString name;
	while (names.GetNextField('\n', name))
		options->Add(name.String(), new BMessage(INSTALLER_LANGUAGE_CHOSEN));
	const int32 row = oLocalize::LanguageRow(localizer.Language());
	if (row >= 0 && row < options->CountItems())
		options->SetItem(row);
	// The field is 20 points wide: it shows the language's code, which fits,
	// where a marked name would be cut to its first letters.
	LibString code(localizer.Language());
	code.ToUpperCase();
	options->Menu()->SetLabelFromMarked(false);
	options->Menu()->SetName(code.String());
	options->Invalidate();
	Unlock();
}

void InstallerWin::ChangeLaunguage()
{
	oLocalize localizer;
	localizer.SetLanguage(oLocalize::LanguageCode(options->CurrentSelection()));
	SetLanguage();
}

void InstallerWin::InstallTypeSelected()
{
	ShowGroupDescription(-1);
	Lock();
	custom_list->SetSelectionMessage(nullptr);
	const int32 chosen = install_type->CurrentSelection();
	if (chosen >= 0) {
		const char* group = static_cast<BStringItem*>(install_type->ItemAt(chosen))->Text();
		for (int32 i = 0; i < custom_list->CountItems(); i++) {
			auto* item = static_cast<InstallListItem*>(custom_list->ItemAt(i));
			if (!item->Groups().InList(group))
				custom_list->Deselect(i);
			else if (!custom_list->IsItemSelected(i))
				custom_list->Select(i, true);
		}
	} else if (install_type->CountItems() > 0) {
		install_type->Select(0, false);
	}
	custom_list->SetSelectionMessage(new BMessage(INSTALLER_ITEMS_CHANGED));
	Unlock();
	CustomItemSelected();
}

int64 InstallerWin::SelectedBytes() const
{
	// 64 bits: a product of several large items passes 2 GiB.
	int64 total = 0;
	for (int32 i = 0; i < custom_list->CountItems(); i++) {
		auto* item = static_cast<InstallListItem*>(custom_list->ItemAt(i));
		if (item != nullptr && custom_list->IsItemSelected(i))
			total += int64(uint32(item->Size()));
	}
	return total;
}

void InstallerWin::CustomItemSelected()
{
	Lock();
	int32 count = 0;
	for (int32 i = 0; i < custom_list->CountItems(); i++) {
		if (custom_list->ItemAt(i) != nullptr && custom_list->IsItemSelected(i))
			count++;
	}
	int32 deinstaller = 0;
	engine.FindInt32("VXC:deinstaller_size", &deinstaller);
	LibString text;
	LibBytesToString(SelectedBytes() + int64(deinstaller), text, 1);
	install_size->SetText(text.String());
	// Quit needs no selection.
	button->SetEnabled(count > 0 || step == 4);
	Unlock();
}

void InstallerWin::ShowGroupDescription(const int32& index)
{
	if (be_app == nullptr)
		return;
	BMessage tip(INSTALLER_TIP);
	if (index < 0) {
		tip.AddBool("show", false);
		be_app->PostMessage(&tip);
		return;
	}
	GroupContext* group = groups.Get(index);
	if (group == nullptr)
		return;
	const LibString& description = group->Description();
	if (description.Length() == 0) {
		be_app->PostMessage(&tip);
		return;
	}
	const BRect scroll = install_type_scroll->Frame();
	const BRect list = install_type->Frame();
	const float scrolled = group_scroll_bar != nullptr ? group_scroll_bar->Value() : 0;
	BPoint where(scroll.left + 99 + list.Width() + list.right,
	             install_type->ItemFrame(index).top + 42 + list.top - scrolled);
	ConvertToScreen(&where);
	tip.AddBool("show", true);
	tip.AddInt16("sdelay", 0);
	tip.AddInt16("edelay", int16(std::ceil(description.Length() * 0.25)));
	tip.AddPoint("loc", where);
	tip.AddInt32("width", kTipWidth);
	tip.AddString("tip", description.String());
	be_app->PostMessage(&tip);
}

void InstallerWin::GetHomeDirectory()
{
	BVolume current;
	if (!volume->GetCurrentVolume(current))
		return;
	BDirectory root;
	BEntry rootEntry;
	BPath home;
	if (current.GetRootDirectory(&root) != B_OK || root.GetEntry(&rootEntry) != B_OK ||
	    rootEntry.GetPath(&home) != B_OK)
		return;
	home.Append("home");
	LibGetEntryRef(home.Path(), engine.destination);
	engine.SetMakeDestination(true);
	SetDestinationPath();
	const float room = volume_size->Frame().right - volume->Frame().right - 2;
	volume_size->SetText(FreeSpaceText(int64(current.FreeBytes()), volume_size, room).String());
}

void InstallerWin::SelectVolume()
{
	GetHomeDirectory();
	CheckDestinationFolder(false);
}

void InstallerWin::SelectDestination()
{
	entry_ref chosen;
	folder_panel->Rewind();
	if (folder_panel->GetNextSelectedRef(&chosen) == B_ENTRY_NOT_FOUND) {
		folder_panel->Hide();
		return;
	}
	if (TakeDestination(chosen))
		folder_panel->Hide();
}

bool InstallerWin::TakeDestination(const entry_ref& folder)
{
	const entry_ref kept = engine.destination;
	engine.destination = folder;
	if (!CheckDestinationFolder(true)) {
		engine.destination = kept;
		return false;
	}
	engine.SetMakeDestination(false);
	SetDestinationPath();
	return true;
}

void InstallerWin::ChooseFolder()
{
	LibString start;
	LibGetFullPath(engine.destination, start);
	std::string folder = start.String();
	while (folder.size() > 1 && !LibIsFolder(folder))
		folder = LibParentOf(folder);
	std::string chosen;
	entry_ref ref;
	switch (LibChooseFolder(Text(1005).String(), folder.c_str(), chosen)) {
		case B_OK:
			if (LibGetEntryRef(chosen.c_str(), ref))
				TakeDestination(ref);
			return;
		case B_CANCELED: return;
		default: break;
	}
	// The panel speaks the window's language and opens on the destination.
	InitFolderPanel();
	folder_panel->SetButtonLabel(B_DEFAULT_BUTTON, Text(1017).String());
	folder_panel->SetButtonLabel(B_CANCEL_BUTTON, Text(1015).String());
	folder_panel->SetNewFolderLabel(Text(1073).String());
	folder_panel->BFilePanel::SetPanelDirectory(folder.c_str());
	if (folder_panel->Window()->Lock()) {
		folder_panel->Window()->SetTitle(Text(1005).String());
		folder_panel->Window()->Unlock();
	}
	folder_panel->Show();
}

void InstallerWin::SetDestinationPath()
{
	Lock();
	LibString path;
	LibGetFullPath(engine.destination, path);
	destination->SetTruncatedText(path.String(), B_TRUNCATE_BEGINNING);
	Unlock();
}

bool InstallerWin::CheckDestinationFolder(bool ask_replace)
{
	engine.SetEarlierAction(INSTALL_EARLIER_REPLACE);
	if (!engine.DoesDestinationExist())
		return true;
	LibString text = Text(1013);
	text.Concat(ConfigRecord(engine).CreatedFolder()).Concat(Text(1014).String());
	const EarlierInstallation earlier(engine.InstallFolderPath(), ConfigRecord(engine).AppName());
	if (earlier.Found())
		return AskAboutEarlier(earlier, text, ask_replace);
	if (ask_replace) {
		text.Concat(Text(1020).String());
		BAlert* alert = new BAlert("", text.String(), Text(1015).String(), Text(1016).String(),
		                           nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
		return alert->Go() == 1;
	}
	BAlert* alert = new BAlert("", text.String(), Text(1017).String(), nullptr, nullptr,
	                           B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go();
	return false;
}

bool InstallerWin::AskAboutEarlier(const EarlierInstallation& earlier, LibString text,
                                   const bool& can_cancel)
{
	const ConfigRecord record(engine);
	const int order = earlier.CompareWith(record.Version());
	const int32 id = order == 0 ? 1104 : order < 0 ? 1102 : 1103;
	const LibString format = Text(id);
	std::vector<char> question(format.Length() + 3 * B_PATH_NAME_LENGTH);
	snprintf(question.data(), question.size(), format.String(), record.AppName(), earlier.Version(),
	         record.Version());
	text.Concat("\n").Concat(question.data());
	// Replace stays the default: it is what an installation always did.
	const int32 other = order == 0 ? INSTALL_EARLIER_REPAIR : INSTALL_EARLIER_UPGRADE;
	const LibString otherLabel = Text(order == 0 ? 1101 : 1100);
	const LibString cancel = Text(1015);
	const LibString replace = Text(1016);
	BAlert* alert = can_cancel
	                        ? new BAlert("EarlierInstallation", text.String(), cancel.String(),
	                                     otherLabel.String(), replace.String(), B_WIDTH_AS_USUAL,
	                                     B_INFO_ALERT)
	                        : new BAlert("EarlierInstallation", text.String(), otherLabel.String(),
	                                     replace.String(), nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	const int32 otherIndex = can_cancel ? 1 : 0;
	const char shortcut = otherLabel.Length() > 0 ? char(tolower(otherLabel.String()[0])) : 0;
	if (shortcut > 0 && shortcut < 0x7f)
		alert->SetShortcut(otherIndex, shortcut);
	const int32 answer = alert->Go();
	if (can_cancel && answer == 0)
		return false;
	engine.SetEarlierAction(answer == otherIndex ? other : INSTALL_EARLIER_REPLACE);
	return true;
}
