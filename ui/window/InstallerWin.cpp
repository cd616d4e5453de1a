// InstallerWin: building the window at its fixed frames and filling it from
// the configuration record.
#include "InstallerWin.h"

#include <cstdio>
#include <cstring>

#include "AppInfo.h"
#include "Application.h"
#include "BackgroundView.h"
#include "Box.h"
#include "Button.h"
#include "ConfigLoader.h"
#include "ConfigRecord.h"
#include "FindDirectory.h"
#include "FolderImages.h"
#include "InstallImage.h"
#include "InstallListItem.h"
#include "LibEntry.h"
#include "LibFilePanel.h"
#include "LibInterface.h"
#include "LibListView.h"
#include "LibMenuField.h"
#include "LibParagraphs.h"
#include "LibPictureButton.h"
#include "LibStdDir.h"
#include "LibStringView.h"
#include "LibVolumeMenu.h"
#include "List.h"
#include "NodeMonitor.h"
#include "Path.h"
#include "ProgressView.h"
#include "PublisherCheck.h"
#include "RecordReadAhead.h"
#include "RootInstall.h"
#include "ScrollBar.h"
#include "ScrollView.h"
#include "StringItem.h"
#include "StringView.h"
#include "TextView.h"

namespace {

const BRect kWindowFrame(0, 0, 455, 257);
const BRect kChoicesFrame(165, 10, 445, 216);
const uint32 kBoxFlags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP;
const float kLargest = 32767;

BStringView* BoldLabel(const BRect& frame, const char* name, const char* text)
{
	auto* label = new BStringView(frame, name, text);
	label->SetFont(be_bold_font);
	return label;
}

void SetFontSize10(BView* view)
{
	BFont font;
	view->GetFont(&font);
	font.SetSize(10);
	view->SetFont(&font);
}

} // namespace

InstallerWin::InstallerWin()
    : LibWindow(kWindowFrame, "InstallerWin", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
                B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE, B_CURRENT_WORKSPACE),
      step(1), product_view(nullptr), folder_panel(nullptr), all_users(nullptr), root_run(nullptr),
      user_make_destination(false), list_hinted(false), undo_from(-1), selected_total(0),
      placed_bytes(0), run_reported(false), run_completed(false)
{
	// Only the reader touches the engine's record until LoadResources; a
	// reading begun with the program is taken over instead.
	if (!RecordReadAhead::Pending())
		reader = std::thread(&InstallerWin::ReadResources, this);
	Lock();
	SetTitleFromFile();
	BuildViews();
	// It may grow to give the licence and the items room, never shrink.
	SetSizeLimits(kWindowFrame.Width(), kLargest, kWindowFrame.Height(), kLargest);
	Unlock();
	watch_node(nullptr, B_WATCH_MOUNT, BMessenger(this));
	folder_panel = nullptr;
	GetVolumes();
	GetHomeDirectory();
	RemoveShortcut('W', B_COMMAND_KEY);
	SetLanguage();
}

InstallerWin::~InstallerWin()
{
	if (reader.joinable())
		reader.join();
	for (InstallListItem* item : read_items)
		delete item;
	stop_watching(BMessenger(this));
	delete folder_panel;
	delete root_run;
}

void InstallerWin::SetTitleFromFile()
{
	app_info info;
	BPath path;
	if (be_app != nullptr && be_app->GetAppInfo(&info) == B_OK && LibGetFullPath(info.ref, path) &&
	    path.Leaf() != nullptr) {
		SetTitle(path.Leaf());
		return;
	}
	SetTitle("Vantry");
}

void InstallerWin::BuildViews()
{
	auto* background = new BackgroundView(Bounds());
	AddChild(background);
	product_view = new InstallImage(BPoint(10, 16), false);
	background->AddChild(product_view);
	BuildLicenceBox(background);
	BuildInstallBox(background);
	BuildBottomRow(background);
}

void InstallerWin::BuildLicenceBox(BView* parent)
{
	license_box =
	        new BBox(kChoicesFrame, "license_box", B_FOLLOW_ALL_SIDES, kBoxFlags, B_FANCY_BORDER);
	parent->AddChild(license_box);
	BFont font(be_plain_font);
	font.SetSize(10);
	license_text = new BTextView(BRect(10, 15, 255, 196), "license_text", BRect(2, 2, 243, 179),
	                             &font, nullptr, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
	license_text->MakeEditable(false);
	license_text->MakeSelectable(false);
	license_box->AddChild(new BScrollView("license_view", license_text, B_FOLLOW_ALL_SIDES, 0,
	                                      false, true, B_FANCY_BORDER));
}

void InstallerWin::BuildInstallBox(BView* parent)
{
	install_box =
	        new BBox(kChoicesFrame, "install_box", B_FOLLOW_ALL_SIDES, kBoxFlags, B_FANCY_BORDER);
	install_box->Hide();
	parent->AddChild(install_box);

	install_type_label = BoldLabel(LibRect(10, 15, 60, 15), "install_type_label", "Groups");
	install_box->AddChild(install_type_label);
	install_type = new LibListView(LibRect(10, install_type_label->Frame().bottom + 3, 70, 107),
	                               "install_type");
	install_type->SetSelectionMessage(new BMessage(INSTALLER_GROUP_CHOSEN));
	install_type->SetHoverCommand(INSTALLER_GROUP_HOVERED);
	install_type_scroll =
	        new BScrollView("install_type_scroll", install_type, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
	                        false, true, B_FANCY_BORDER);
	install_box->AddChild(install_type_scroll);
	group_scroll_bar = install_type_scroll->ScrollBar(B_VERTICAL);

	const float filesLeft = install_type->Frame().right + 30;
	file_label = BoldLabel(LibRect(filesLeft, 15, 50, 15), "file_label", "Files");
	install_box->AddChild(file_label);
	custom_list =
	        new BListView(LibRect(110, file_label->Frame().bottom + 3, 153, 107), "custom_list",
	                      B_MULTIPLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP,
	                      B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
	custom_list->SetSelectionMessage(new BMessage(INSTALLER_ITEMS_CHANGED));
	custom_scroll_view = new BScrollView("custom_scroll_view", custom_list, B_FOLLOW_ALL_SIDES, 0,
	                                     false, true, B_FANCY_BORDER);
	install_box->AddChild(custom_scroll_view);

	const BRect list = custom_scroll_view->Frame();
	const BRect files = file_label->Frame();
	install_size = new BStringView(BRect(list.right - 70, files.top, list.right, files.bottom),
	                               "install_size", "0 bytes");
	install_size->SetAlignment(B_ALIGN_RIGHT);
	install_size->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP);
	install_box->AddChild(install_size);
	// "Bestanden" and "Archivos" are wider than the label's 50 points: it
	// reaches to the size, whose text is right-aligned.
	file_label->ResizeTo(install_size->Frame().left - 2 - files.left, files.Height());

	volume = new LibVolumeMenu(BPoint(10, list.bottom + 4), "volume", INSTALLER_VOLUME_CHOSEN, 70);
	const FolderImages& images = GetFolderImages();
	folder = new LibPictureButton(BPoint(10, volume->Frame().bottom + 4), FOLDER_IMAGE_SIZE,
	                              FOLDER_IMAGE_SIZE, "folder", images.on, images.off,
	                              INSTALLER_FOLDER_BUTTON, images.disabled);
	folder->AddTip(INSTALLER_TIP, "Change destination folder");
	// Behind the volume menu, which it overlaps: the menu stays readable.
	volume_size = new BStringView(
	        BRect(folder->Frame().right, list.bottom + 4, list.right, list.bottom + 25),
	        "volume_size", "0 bytes");
	volume_size->SetAlignment(B_ALIGN_RIGHT);
	volume_size->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
	volume->SetResizingMode(B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
	folder->SetResizingMode(B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
	install_box->AddChild(volume_size);
	install_box->AddChild(volume);
	install_box->AddChild(folder);
	destination = new LibStringView(LibRect(35, volume->Frame().bottom + 9, 240, 15), "destination",
	                                "", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
	install_box->AddChild(destination);
	BuildAllUsersBox();
}

void InstallerWin::BuildBottomRow(BView* parent)
{
	inst_box = new BBox(LibRect(10, product_view->Frame().bottom + 9, 310, 25), "inst_box",
	                    B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM, kBoxFlags, B_FANCY_BORDER);
	parent->AddChild(inst_box);
	instruction =
	        new ProgressView(LibRect(5, 6, inst_box->Bounds().Width() - 10, 15), "instruction");
	SetFontSize10(instruction);
	instruction->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	inst_box->AddChild(instruction);

	const BRect box = inst_box->Frame();
	button = new BButton(LibRect(box.right + 10, box.top - 2, 95, 20), "button", "",
	                     new BMessage(INSTALLER_BUTTON), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM,
	                     B_WILL_DRAW | B_NAVIGABLE);
	SetFontSize10(button);
	parent->AddChild(button);
	SetDefaultButton(button);

	options = new LibMenuField(LibRect(button->Frame().right + 4, box.top, 20, 20), "options", 10,
	                           true);
	options->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	parent->AddChild(options);
}

void InstallerWin::FrameResized(float width, float height)
{
	LibWindow::FrameResized(width, height);
	// The licence wraps to its view's new width; the path shows what fits.
	const BRect text = license_text->Bounds();
	license_text->SetTextRect(BRect(2, 2, text.Width() - 2, text.Height() - 2));
	SetDestinationPath();
	ReportState();
}

void InstallerWin::AddGroup(const char* name)
{
	install_type->AddItem(new BStringItem(name, 0, true));
}

void InstallerWin::GetVolumes()
{
	if (!Lock())
		return;
	volume->Update();
	Unlock();
}

void InstallerWin::InitFolderPanel()
{
	if (folder_panel != nullptr)
		return;
	folder_panel =
	        new LibFilePanel(B_OPEN_PANEL, this, INSTALLER_FOLDER_CHOSEN, B_DIRECTORY_NODE, false);
	folder_panel->AddType("application/x-vnd.Be-directory");
	folder_panel->AddType("application/x-vnd.Be-volume");
}

void InstallerWin::LoadResources()
{
	if (!LoadConfiguration()) {
		Lock();
		ReportState();
		Unlock();
		return;
	}
	Lock();
	FillProductView();
	const ConfigRecord record(engine);
	// Lines wrapped by hand are joined: the view wraps them to its width.
	license_text->SetText(LibJoinParagraphs(record.Licence()).c_str());
	FillGroups();
	FillItems();
	SetDefaultFolder();
	volume->AllowRemovable(record.RemovableVolumeOk());
	volume->AllowShared(record.SharedVolumeOk());
	volume->Update();
	InstallTypeSelected();
	SetDestinationPath();
	// Without a licence the window opens on the choices; only now is the
	// destination the product's, so its check warns about the right folder.
	if (license_text->TextLength() == 0)
		ButtonPressed();
	PlaySoundIfAny();
	ReportState();
	Unlock();
}

void InstallerWin::ReadResources()
{
	RecordReadAhead::Read(engine, reading, read_items);
}

bool InstallerWin::LoadConfiguration()
{
	if (reader.joinable())
		reader.join();
	else
		RecordReadAhead::Take(engine, reading, read_items);
	return ReportConfiguration(engine, reading);
}

void InstallerWin::FillProductView()
{
	const ConfigRecord record(engine);
	BMessage image;
	record.AboutImage(&image);
	product_view->SetImage(image);
	product_view->SetAppName(record.AppName());
	product_view->SetVersion(record.Version());
	product_view->SetDate(record.ReleaseDate());
	product_view->SetCompany(record.Company());
	product_view->SetEmail(record.SupportEmail());
	product_view->SetSignature(PublisherCheck::LocalSummary(record.Company()).c_str());
}

void InstallerWin::FillGroups()
{
	BMessage message;
	if (!ConfigRecord(engine).InstallTypes(&message))
		return;
	groups.Read(message);
	for (GroupContext* group = groups.First(); group != nullptr; group = groups.Next())
		AddGroup(group->Name().String());
	if (install_type->CountItems() > 0)
		install_type->Select(0, false);
}

void InstallerWin::FillItems()
{
	// Row i stands for install_file i: the reader made them in that order.
	BList rows;
	for (InstallListItem* item : read_items)
		rows.AddItem(item);
	custom_list->AddList(&rows);
	read_items.clear();
}

void InstallerWin::SetDefaultFolder()
{
	const char* name = ConfigRecord(engine).DefaultFolder();
	if (name[0] == '\0')
		return;
	BPath path;
	if (strcmp(name, "Current") == 0) {
		if (!LibGetWorkingDirectory(path))
			return;
	} else {
		// An unknown name keeps the home folder the constructor chose.
		directory_which which;
		if (!LibGetStdDirName(name, which) || find_directory(which, &path, false) != B_OK)
			return;
	}
	LibGetEntryRef(path.Path(), engine.destination);
	engine.SetMakeDestination(true);
}

void InstallerWin::PlaySoundIfAny()
{
	BMessage sound;
	if (!ConfigRecord(engine).Sound(&sound) || be_app == nullptr)
		return;
	sound.what = INSTALLER_PLAY_SOUND;
	be_app->PostMessage(&sound);
}
