// ReplaceAlert: the question asked when an entry is in the way of an item,
// showing the existing entry above the new one, with "apply to all".
#pragma once

#include <string>
#include <vector>

#include "Alert.h"
#include "GraphicsDefs.h"
#include "Rect.h"

class BMessage;
class BPath;

// The check box's message.
enum { REPLACE_ALERT_APPLY_TO_ALL = 1000 };

class ReplaceAlert : public BAlert {
public:
	// A view added below the question, described for whichever presenter
	// shows the alert. Frames are in the coordinates of the text view.
	struct View {
		std::string className; // "BitmapView", "BStringView", "LibStringView", "BCheckBox"
		std::string name;
		BRect frame;
		std::string text;
		std::string iconPath; // BitmapView: the entry whose icon it shows
		rgb_color color;
		float fontSize;   // 0: the default size
		int32 truncation; // LibStringView: 1 cuts at the beginning
	};

	// `from` is the new item, `to` the entry in its way; `language` a
	// two-letter code, English for any code without texts of its own.
	ReplaceAlert(const BPath& from, const BPath& to, bool show_check_box, const char* language);
	~ReplaceAlert() override;

	// The check box reports each change with command 1000 and "be:value".
	void MessageReceived(BMessage* message);

	using BAlert::Go;
	// Shows the alert like Go() (and deletes it); `apply_to_all` receives the
	// check box's final state.
	int32 Go(bool& apply_to_all_answer);

	int32 CountViews() const { return int32(fViews.size()); }
	const View* ViewAt(const int32& index) const;
	const View* FindView(const char* name) const;
	// How much taller than a plain alert the views make it.
	float ExtraHeight() const { return fExtraHeight; }

	int32 future_collisions_box; // the check box's control index, or -1
	bool apply_to_all;

	// The dialog's texts in one language.
	struct Texts;

private:
	static const Texts& TextsFor(const char* language);
	void AddRealViews();
	float WidthShortfall() const;
	// The question's height in an alert `alertWidth` wide.
	float QuestionHeight(const float& alertWidth) const;
	// Path values reach the alert's right edge.
	void FitPaths();
	void PlaceBelowQuestion(const float& grown);
	// `folder` is the one shown as the entry's: where it is or will be.
	void AddEntryBlock(const char* prefix, const BPath& path, const std::string& folder,
	                   const float& top, const float& modifiedWidth, const Texts& texts);
	void AddRow(const char* prefix, const char* field, const char* label, const std::string& value,
	            const float& top, const float& width, const bool& truncatedPath = false);

	std::vector<View> fViews;
	float fExtraHeight;
	bool* fAnswer;
};
