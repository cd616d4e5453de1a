// The result window: rows, selection buttons, the destination and the removal.
#include "DeinstallFilesWin.h"

#include <climits>
#include <cstdlib>

#include "Application.h"
#include "Button.h"
#include "CheckAndPrompt.h"
#include "DeinstallRemoval.h"
#include "DeinstallScripts.h"
#include "DeinstallSearch.h"
#include "DeinstallTexts.h"
#include "FileListItem.h"
#include "FindDirectory.h"
#include "FolderButtonImage.h"
#include "InstallRegister.h"
#include "InstallationFolder.h"
#include "LibFilePanel.h"
#include "LibMessageBox.h"
#include "LibPathParts.h"
#include "LibPictureButton.h"
#include "LibStringList.h"
#include "LibStringView.h"
#include "ListView.h"
#include "Path.h"
#include "ScrollView.h"
#include "StorageDefs.h"
#include "View.h"

namespace {

const float kListFontSize = 10;
const int8 kFolderButtonSize = 24;

BRect L(const float& left, const float& top, const float& width, const float& height)
{
	return BRect(left, top, left + width, top + height);
}

std::string TrashPath()
{
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, false) != B_OK || trash.Path() == nullptr)
		return std::string();
	return trash.Path();
}

} // namespace

DeinstallFilesWin::DeinstallFilesWin(BWindow* main)
    : LibWindow(BRect(0, 0, 490, 230), DeinstallText(1006).String(), B_TITLED_WINDOW,
                B_NOT_RESIZABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE),
      fMain(main), fDestinationPath(TrashPath()), fTrash(true), fPanel(nullptr)
{
	get_ref_for_path(fDestinationPath.c_str(), &fDestination);
	BView* view = new BView(Bounds(), "view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(view);

	fList = new BListView(BRect(10, 10, 464, 182), "list", B_MULTIPLE_SELECTION_LIST);
	fList->SetFontSize(kListFontSize);
	fList->SetSelectionMessage(new BMessage(FILES_SELECTION));
	view->AddChild(
	        new BScrollView("list_scroll", fList, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));

	const float row = 196;
	const std::vector<uint8> off = FolderButtonImage(false);
	const std::vector<uint8> on = FolderButtonImage(true);
	fFolderButton = new LibPictureButton(BPoint(10, row), kFolderButtonSize, kFolderButtonSize,
	                                     "folder", on.data(), off.data(), FILES_FOLDER);
	fFolderButton->AddTip(0, DeinstallText(1007).String());
	view->AddChild(fFolderButton);
	fDestinationLabel =
	        new LibStringView(BRect(40, row + 4, 244, row + 19), "destination_path", "");
	fDestinationLabel->SetTruncatedText(fDestinationPath.c_str(), B_TRUNCATE_BEGINNING);
	view->AddChild(fDestinationLabel);
	fAll = new BButton(L(250, row + 2, 70, 20), "all", DeinstallText(1008).String(),
	                   new BMessage(FILES_ALL));
	view->AddChild(fAll);
	fNone = new BButton(L(327, row + 2, 70, 20), "none", DeinstallText(1009).String(),
	                    new BMessage(FILES_NONE));
	view->AddChild(fNone);
	fDeinstall = new BButton(L(404, row + 2, 76, 20), "deinstall", DeinstallText(1010).String(),
	                         new BMessage(FILES_DEINSTALL));
	view->AddChild(fDeinstall);
	SetDefaultButton(fDeinstall);
}

DeinstallFilesWin::~DeinstallFilesWin()
{
	delete fPanel;
	for (int32 i = fList->CountItems() - 1; i >= 0; i--)
		delete fList->RemoveItem(i);
}

void DeinstallFilesWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case FILES_ALL: SelectAll(true); break;
		case FILES_NONE: SelectAll(false); break;
		case FILES_SELECTION: UpdateDeinstallButton(); break;
		case FILES_FOLDER: SelectMoveDestination(); break;
		case FILES_FOLDER_CHOSEN: MoveDestinationChoosen(message); break;
		case FILES_DEINSTALL: DeinstallFiles(); break;
		default: LibWindow::MessageReceived(message);
	}
}

void DeinstallFilesWin::SetPaths(LibStringList& paths)
{
	for (int32 i = fList->CountItems() - 1; i >= 0; i--)
		delete fList->RemoveItem(i);
	for (LibString* path = paths.First(); path != nullptr; path = paths.Next())
		fList->AddItem(new FileListItem(path->String(), false, true));
	SelectAll(true);
}

void DeinstallFilesWin::SetUserScripts(const LibString& boot, const LibString& setup_env,
                                       const LibString& profile)
{
	fBootTag = boot;
	fSetupEnvTag = setup_env;
	fProfileTag = profile;
}

void DeinstallFilesWin::SelectAll(const bool& select)
{
	if (select && fList->CountItems() > 0)
		fList->Select(0, fList->CountItems() - 1);
	else
		fList->DeselectAll();
	UpdateDeinstallButton();
}

void DeinstallFilesWin::UpdateDeinstallButton()
{
	fDeinstall->SetEnabled(fList->CurrentSelection(0) >= 0);
}

void DeinstallFilesWin::SelectMoveDestination()
{
	delete fPanel;
	fPanel = new LibFilePanel(B_OPEN_PANEL, this, FILES_FOLDER_CHOSEN, B_DIRECTORY_NODE, false);
	fPanel->AddType("application/x-vnd.Be-volume");
	fPanel->AddType("application/x-vnd.Be-directory");
	fPanel->SetPanelDirectory(fDestinationPath.c_str());
	fPanel->Show();
}

void DeinstallFilesWin::MoveDestinationChoosen(BMessage* message)
{
	entry_ref ref;
	if (message->FindRef("refs", &ref) == B_OK) {
		BPath path(&ref);
		if (path.Path() != nullptr) {
			fDestination = ref;
			fDestinationPath = path.Path();
			fTrash = fDestinationPath == TrashPath();
			fDestinationLabel->SetTruncatedText(fDestinationPath.c_str(), B_TRUNCATE_BEGINNING);
		}
	}
	delete fPanel;
	fPanel = nullptr;
}

void DeinstallFilesWin::DeinstallFiles()
{
	Hide();
	std::vector<std::string> paths;
	for (int32 i = 0; i < fList->CountItems(); i++) {
		if (fList->IsItemSelected(i))
			paths.push_back(static_cast<FileListItem*>(fList->ItemAt(i))->Path());
	}
	BMessage limit(DEINSTALL_LIMIT);
	limit.AddInt32("size", int32(paths.size()));
	fMain->PostMessage(&limit);

	// The trash of each entry's own volume unless the user chose a folder.
	DeinstallRemoval removal(fTrash ? std::string() : fDestinationPath);
	removal.SetQuestion(
	        [](const std::string& item, const std::string& target, bool& ask, bool& replace) {
		        CheckAndPrompt(BPath(item.c_str()), LibParentOf(target).c_str(), ask, replace);
		        return true;
	        });
	removal.SetProgress([this](const std::string& leaf, const int32& left) {
		BMessage progress(DEINSTALL_PROGRESS);
		progress.AddFloat("size", -1);
		progress.AddString("folder", leaf.c_str());
		progress.AddString("found", std::to_string(left).c_str());
		fMain->PostMessage(&progress);
	});
	const status_t status = removal.Remove(paths);
	RemoveScriptSections({fBootTag, fSetupEnvTag, fProfileTag}, nullptr);
	InstallRegister::Forget(fIdentity);
	// The installation's own folder goes once nothing of the product is left.
	FolderCleanup cleanup;
	char self[PATH_MAX];
	if (status == B_OK && removal.Left().empty() && realpath("/proc/self/exe", self) != nullptr)
		cleanup = RemoveInstallationFolder(self);
	if (status == B_OK && removal.Left().empty())
		for (const FolderCleanup& folder : RemoveCreatedFolders(fCreatedFolders))
			if (!folder.kept.empty() && cleanup.kept.empty()) {
				cleanup.kept = folder.kept;
				cleanup.reason = folder.reason;
			}
	ReportSummary(removal, cleanup);
	be_app->PostMessage(B_QUIT_REQUESTED);
}

void DeinstallFilesWin::ReportSummary(const DeinstallRemoval& removal, const FolderCleanup& cleanup)
{
	std::string text = removal.Summary() + ".\n";
	if (!cleanup.kept.empty())
		text += "\n" + cleanup.kept + " was kept: " + cleanup.reason + ".\n";
	if (!removal.Failed().empty())
		text += "\nThese entries could not be moved:\n";
	for (const auto& [path, reason] : removal.Failed())
		text += "  " + path + ": " + reason + "\n";
	if (!removal.Left().empty())
		text += std::string(text.empty() ? "" : "\n") +
		        "These entries belong to other users and were left in place "
		        "(Deinstaller --unattended --all-owners moves them):\n";
	for (const auto& [path, reason] : removal.Left())
		text += "  " + path + ": " + reason + "\n";
	if (!removal.Kept().empty())
		text += std::string(text.empty() ? "" : "\n") +
		        "These folders were kept because they still hold entries:\n";
	for (const std::string& folder : removal.Kept())
		text += "  " + folder + "\n";
	// Kept folders are information; only what could not be moved is an error.
	if (!removal.Failed().empty() || !removal.Left().empty())
		LibError("%s", text.c_str());
	else
		LibInfo("%s", text.c_str());
}
