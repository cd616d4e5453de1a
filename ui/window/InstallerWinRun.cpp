// InstallerWin: the steps, the start of a run and its end, stopping a run,
// and the window's messages.
#include "InstallerWin.h"

#include <algorithm>
#include <cstring>

#include "Application.h"
#include "Box.h"
#include "Button.h"
#include "CheckBox.h"
#include "ConfigRecord.h"
#include "InstallItemRecord.h"
#include "InterfaceHost.h"
#include "LibFilePanel.h"
#include "LibMessageBox.h"
#include "LibPictureButton.h"
#include "LibSystem.h"
#include "LibVolumeMenu.h"
#include "ListView.h"
#include "Messenger.h"
#include "NodeMonitor.h"
#include "ProgressView.h"
#include "RootInstall.h"
#include "oLocalize.h"

namespace {

LibString Text(const long& id)
{
	oLocalize localizer;
	return localizer.GetString(id);
}

const int32 kThreadRunning = 1;
const int32 kThreadWaiting = 6;

} // namespace

void InstallerWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case INSTALLER_BUTTON: ButtonPressed(); break;
		case INSTALLER_GROUP_CHOSEN: InstallTypeSelected(); break;
		case INSTALLER_GROUP_HOVERED: ShowGroupDescription(message->FindInt32("item")); break;
		case INSTALLER_FOLDER_BUTTON: ChooseFolder(); break;
		case INSTALLER_VOLUME_CHOSEN: SelectVolume(); break;
		case INSTALLER_FOLDER_CHOSEN: SelectDestination(); break;
		case INSTALLER_ITEMS_CHANGED: CustomItemSelected(); break;
		case INSTALLER_LANGUAGE_CHOSEN: ChangeLaunguage(); break;
		case LIB_THREAD_CHANGE: ThreadChange(message); break;
		case INSTALL_PROGRESS:
			// A root run counts toward its own total.
			if (message->FindInt64("total") > 0)
				selected_total = message->FindInt64("total");
			ShowProgress(message->FindInt64("placed"));
			break;
		case INSTALLER_ALL_USERS: AllUsersChanged(); break;
		case INSTALLER_ROOT_ENDED: RootEnded(message); break;
		case INSTALL_STATUS_UPDATE: SetInstruction(message->FindString("message")); break;
		case INSTALL_COMPLETED: Completed(); break;
		case INSTALL_UNDO_PROGRESS: ShowUndo(message->FindFloat("left")); break;
		case B_NODE_MONITOR: {
			int32 opcode = 0;
			if (message->FindInt32("opcode", &opcode) == B_OK &&
			    (opcode == B_DEVICE_MOUNTED || opcode == B_DEVICE_UNMOUNTED))
				GetVolumes();
			break;
		}
		default: LibWindow::MessageReceived(message); return;
	}
	ReportState();
}

void InstallerWin::DispatchMessage(BMessage* message, BHandler* handler)
{
	LibWindow::DispatchMessage(message, handler);
	ShowListHint();
}

void InstallerWin::ShowListHint()
{
	const bool hinted = step == 2 && CurrentFocus() == custom_list;
	if (hinted == list_hinted)
		return;
	list_hinted = hinted;
	if (hinted)
		SetInstruction(Text(1071).String());
	else if (step == 2)
		RelabelStep();
	ReportState();
}

// The application closes the window once a running install has stopped, so
// the window and its engine outlive QuitRunning.
bool InstallerWin::QuitRequested()
{
	if (step == 3 && !run_reported)
		ShowStopping();
	if (be_app != nullptr)
		be_app->PostMessage(B_QUIT_REQUESTED);
	return false;
}

void InstallerWin::ButtonPressed()
{
	switch (step) {
		case 1:
			license_box->Hide();
			install_box->Show();
			step = 2;
			RelabelStep();
			CheckDestinationFolder(false);
			break;
		case 2:
			EnableDestination(false);
			step = 3;
			RelabelStep();
			Install();
			break;
		default: QuitRequested(); break;
	}
}

void InstallerWin::RelabelStep()
{
	oLocalize localizer;
	switch (step) {
		case 1:
			button->SetLabel(localizer.GetString(1008).String());
			SetInstruction(localizer.GetString(1010).String());
			break;
		case 2:
			button->SetLabel(localizer.GetString(1007).String());
			SetInstruction(localizer.GetString(list_hinted ? 1071 : 1009).String());
			break;
		// During and after a run the instruction line is the run's.
		case 3: button->SetLabel(localizer.GetString(1012).String()); break;
		default: button->SetLabel(localizer.GetString(1070).String()); break;
	}
}

void InstallerWin::EnableDestination(const bool& enabled)
{
	folder->SetEnabled(enabled);
	volume->SetEnabled(enabled);
	if (all_users != nullptr)
		all_users->SetEnabled(enabled);
}

void InstallerWin::SetInstruction(const char* text)
{
	instruction->SetText(text != nullptr ? text : "");
}

void InstallerWin::Install()
{
	Lock();
	BMessage instructions;
	ConfigRecord(engine).Instructions(&instructions);
	BMessage file;
	for (int32 i = 0; i < custom_list->CountItems(); i++) {
		if (instructions.FindMessage(InstallItemRecord::kItem, i, &file) != B_OK)
			continue;
		InstallItemRecord::SetSelected(file, custom_list->IsItemSelected(i));
		instructions.ReplaceMessage(InstallItemRecord::kItem, i, &file);
	}
	ConfigRecord::SetInstructions(engine, instructions);
	selected_total = SelectedBytes();
	run_reported = false;
	run_completed = false;
	undo_from = -1;
	placed_bytes = 0;
	instruction->Reset();
	instruction->SetFraction(0);
	Unlock();
	if (!InstallsForAllUsers()) {
		engine.Go("install", new BMessenger(this), 10, false);
		return;
	}
	if (!InstallForAllUsers())
		ReturnToStepTwo();
}

void InstallerWin::ShowProgress(const int64& placed)
{
	placed_bytes = placed;
	if (selected_total <= 0)
		return;
	// Full only when the run says it is complete.
	const float fraction = float(double(placed) / double(selected_total));
	instruction->SetFraction(fraction < 1 ? fraction : 0.999f);
}

void InstallerWin::ShowStopping()
{
	SetInstruction(Text(1072).String());
	ReportState();
}

void InstallerWin::ShowUndo(const float& left)
{
	if (undo_from < 0) {
		undo_from = std::max(0.0f, instruction->Fraction());
		SetInstruction(Text(1072).String());
	}
	instruction->SetFractionBack(undo_from * left);
}

void InstallerWin::ThreadChange(BMessage* message)
{
	const char* name = message->FindString("name");
	if (name == nullptr || strcmp(name, "install") != 0)
		return;
	run_reported = true;
	if (message->FindInt32("status") == INSTALL_RUN_OVER) {
		instruction->SetFraction(1);
		InterfaceHost::Event("install-ended 0");
		if (engine.restart_requested)
			LibShutdown(true);
		QuitRequested();
		return;
	}
	InterfaceHost::Event("install-ended %d", int(message->FindInt32("status")));
	ReturnToStepTwo();
}

void InstallerWin::Completed()
{
	Lock();
	run_completed = true;
	step = 4;
	instruction->SetFraction(1);
	RelabelStep();
	button->SetEnabled(true);
	Unlock();
}

void InstallerWin::ReturnToStepTwo()
{
	Lock();
	EnableDestination(true);
	step = 2;
	instruction->Reset();
	RelabelStep();
	Unlock();
}

void InstallerWin::QuitRunning()
{
	// A root run cannot be signalled from here: a "stop" line on its input
	// stops it, and the window waits for its undo.
	if (root_run != nullptr && !root_run->Ended()) {
		root_run->Stop();
		if (InterfaceHost::IsMainThread())
			InterfaceHost::RunNestedLoop([this] { return root_run->Ended(); });
		return;
	}
	const int32 state = engine.Status();
	if (state != kThreadRunning && state != kThreadWaiting)
		return;
	// A run that has sent its end is not stopped: its thread is returning.
	const bool finished = run_reported.load();
	if (!finished)
		engine.Kill();
	// The run ends at its next safe point; the window keeps drawing meanwhile.
	if (InterfaceHost::IsMainThread())
		InterfaceHost::RunNestedLoop([this] { return engine.Status() == 0; });
	status_t result = B_OK;
	wait_for_thread(engine.Thread(), &result);
	// A stop during the completion messages only closes them.
	if (finished || run_completed)
		return;
	InterfaceHost::Event("install-stopped");
	LibError("%s", Text(1027).String());
}
