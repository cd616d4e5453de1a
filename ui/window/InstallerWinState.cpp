// InstallerWin: its state as one event line, so the end-to-end tests read
// what the window shows from the views themselves.
#include "InstallerWin.h"

#include <string>

#include "Box.h"
#include "Button.h"
#include "CheckBox.h"
#include "InstallImage.h"
#include "InterfaceHost.h"
#include "LibListView.h"
#include "LibMenuField.h"
#include "LibPictureButton.h"
#include "LibStringView.h"
#include "LibVolumeMenu.h"
#include "ListView.h"
#include "ProgressView.h"
#include "StringView.h"
#include "TextView.h"

namespace {

void Field(std::string& line, const char* name, const char* value)
{
	line += "|";
	line += name;
	line += "=";
	line += value != nullptr ? value : "";
}

} // namespace

void InstallerWin::ReportState()
{
	if (!InterfaceHost::EventsEnabled())
		return;
	std::string line = "installer-state step=" + std::to_string(step);
	Field(line, "button", button->Label());
	Field(line, "button_enabled", button->IsEnabled() ? "1" : "0");
	Field(line, "instruction", instruction->Text());
	Field(line, "license_box", license_box->Label());
	Field(line, "install_box", install_box->Label());
	Field(line, "install_type_label", install_type_label->Text());
	Field(line, "file_label", file_label->Text());
	Field(line, "volume", volume->LabelText());
	Field(line, "folder_tip", folder->TipText());
	Field(line, "language", options->Text());
	Field(line, "language_field", options->FieldText());
	Field(line, "install_size", install_size->Text());
	Field(line, "volume_size", volume_size->Text());
	Field(line, "destination", destination->Text());
	Field(line, "folder_enabled", folder->IsEnabled() ? "1" : "0");
	// Empty when the window does not offer it.
	Field(line, "all_users", all_users == nullptr ? "" : (all_users->Value() != 0 ? "1" : "0"));
	Field(line, "licence_shown", license_box->IsHidden() ? "0" : "1");
	Field(line, "picture", product_view->ShowsImage() ? "1" : "0");
	Field(line, "signature", product_view->Signature().String());
	std::string rows;
	for (int32 i = 0; i < custom_list->CountItems(); i++) {
		if (custom_list->IsItemSelected(i))
			rows += (rows.empty() ? "" : ",") + std::to_string(i);
	}
	Field(line, "selected", rows.c_str());
	Field(line, "group", std::to_string(install_type->CurrentSelection()).c_str());
	Field(line, "progress", std::to_string(instruction->Fraction()).c_str());
	const BRect frame = Frame();
	Field(line, "frame",
	      (std::to_string(int(frame.Width()) + 1) + "x" + std::to_string(int(frame.Height()) + 1))
	              .c_str());
	// How many lines the licence wraps to, and how many of them show at once.
	Field(line, "licence_lines", std::to_string(license_text->CountLines()).c_str());
	Field(line, "licence_rows",
	      std::to_string(int(license_text->Bounds().Height() / license_text->LineHeight()))
	              .c_str());
	InterfaceHost::Event("%s", line.c_str());
}
