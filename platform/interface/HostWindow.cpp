// The native side of a window (FLTK, main thread): a double-buffered window
// whose widgets mirror the view tree, and the events they turn into messages
// for the window's looper.
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <unistd.h>

#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Button.h"
#include "CheckBox.h"
#include "Control.h"
#include "DeferredInputMethod.h"
#include "DropMessage.h"
#include "HostNative.h"
#include "HostScale.h"
#include "InterfaceHost.h"
#include "Menu.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "Message.h"
#include "Messenger.h"
#include "ScrollBar.h"
#include "View.h"
#include "Window.h"
#include "WindowHost.h"

void set_host_modifiers(uint32 state);

namespace {

// The second widget of a menu field (its pop-up button) has this bit in its id.
const uint64 kMenuButtonBit = uint64(1) << 63;

uint32 be_modifiers(int state)
{
	uint32 result = 0;
	if (state & FL_SHIFT)
		result |= B_SHIFT_KEY;
	if (state & FL_ALT)
		result |= B_COMMAND_KEY;
	if (state & FL_CTRL)
		result |= B_CONTROL_KEY;
	if (state & FL_META)
		result |= B_OPTION_KEY;
	if (state & FL_CAPS_LOCK)
		result |= B_CAPS_LOCK;
	return result;
}

uint32 be_buttons()
{
	uint32 buttons = 0;
	int state = Fl::event_state();
	if (state & FL_BUTTON1)
		buttons |= B_PRIMARY_MOUSE_BUTTON;
	if (state & FL_BUTTON3)
		buttons |= B_SECONDARY_MOUSE_BUTTON;
	if (state & FL_BUTTON2)
		buttons |= B_TERTIARY_MOUSE_BUTTON;
	if (buttons == 0 && (Fl::event() == FL_PUSH || Fl::event() == FL_RELEASE)) {
		int b = Fl::event_button();
		buttons = b == FL_LEFT_MOUSE    ? B_PRIMARY_MOUSE_BUTTON
		          : b == FL_RIGHT_MOUSE ? B_SECONDARY_MOUSE_BUTTON
		                                : B_TERTIARY_MOUSE_BUTTON;
	}
	return buttons;
}

Fl_Color fl_of(rgb_color c)
{
	return fl_rgb_color(c.red, c.green, c.blue);
}

// Where a widget posts: the window's looper and the view's handler token.
struct Address {
	BMessenger messenger;

	void Post(BMessage& message) const { messenger.SendMessage(&message, (BHandler*)nullptr, 0); }
};

BMessenger messenger_for(BWindow& window, BHandler* handler)
{
	BMessenger messenger;
	messenger.SetTo(getpid(), window.Port(),
	                handler != nullptr ? handler->Token() : B_PREFERRED_TOKEN);
	return messenger;
}

// A view drawn from its recorded drawing, passing mouse events on.
class ViewWidget : public Fl_Widget {
public:
	ViewWidget(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) {}

	void draw() override
	{
		fl_push_clip(clipX, clipY, clipW, clipH);
		if (background.alpha != 0) {
			fl_color(fl_of(background));
			fl_rectf(x(), y(), w(), h());
		}
		if (drawing != nullptr)
			host_replay(*drawing, x() - int(std::lround(scroll.x * host_scale())),
			            y() - int(std::lround(scroll.y * host_scale())));
		fl_pop_clip();
	}

	int handle(int event) override
	{
		switch (event) {
			case FL_PUSH: PostMouse(B_MOUSE_DOWN, B_INSIDE_VIEW); return 1;
			case FL_RELEASE: PostMouse(B_MOUSE_UP, B_INSIDE_VIEW); return 1;
			case FL_DRAG:
				PostMouse(B_MOUSE_MOVED, Fl::event_inside(this) ? B_INSIDE_VIEW : B_OUTSIDE_VIEW);
				return 1;
			case FL_ENTER: PostMouse(B_MOUSE_MOVED, B_ENTERED_VIEW); return 1;
			case FL_MOVE: PostMouse(B_MOUSE_MOVED, B_INSIDE_VIEW); return 1;
			case FL_LEAVE: PostMouse(B_MOUSE_MOVED, B_EXITED_VIEW); return 1;
			case FL_MOUSEWHEEL: {
				BMessage message(B_MOUSE_WHEEL_CHANGED);
				message.AddFloat("be:wheel_delta_x", float(Fl::event_dx()));
				message.AddFloat("be:wheel_delta_y", float(Fl::event_dy()));
				address.Post(message);
				return 1;
			}
			// Every view takes file drops, as on BeOS: what it does with
			// them is its MessageReceived's business.
			case FL_DND_ENTER:
			case FL_DND_DRAG:
			case FL_DND_LEAVE: return 1;
			case FL_DND_RELEASE:
				dropWhere =
				        BPoint(host_points(Fl::event_x_root()), host_points(Fl::event_y_root()));
				return 1;
			case FL_PASTE: {
				BMessage message;
				if (Fl::event_text() != nullptr &&
				    make_drop_message(std::string(Fl::event_text(), size_t(Fl::event_length())),
				                      dropWhere, &message))
					address.Post(message);
				return 1;
			}
			case FL_FOCUS:
			case FL_UNFOCUS: return focusable ? 1 : 0;
			default: return 0;
		}
	}

	void PostMouse(uint32 what, int32 transit)
	{
		set_host_modifiers(be_modifiers(Fl::event_state()));
		BMessage message(what);
		message.AddPoint("be:window_where",
		                 BPoint(host_points(Fl::event_x()), host_points(Fl::event_y())));
		message.AddInt64("when", system_time());
		message.AddInt32("buttons", int32(be_buttons()));
		message.AddInt32("modifiers", int32(be_modifiers(Fl::event_state())));
		message.AddInt32("clicks", Fl::event_clicks() + 1);
		message.AddInt32("be:transit", transit);
		address.Post(message);
	}

	std::shared_ptr<const DrawList> drawing;
	rgb_color background = {255, 255, 255, 255};
	BPoint scroll;
	int clipX = 0, clipY = 0, clipW = 0, clipH = 0;
	bool focusable = false;
	BPoint dropWhere;
	Address address;
};

// A menu as FLTK items; labels are kept alive with it.
struct MenuItems {
	std::vector<Fl_Menu_Item> items;
	std::vector<std::string> labels;
	std::string signature;

	void Build(const BMenu& menu)
	{
		items.clear();
		labels.clear();
		signature.clear();
		labels.reserve(size_t(menu.CountItems()) + 1);
		for (int32 i = 0; i < menu.CountItems(); i++) {
			BMenuItem* item = menu.ItemAt(i);
			if (item->IsSeparator()) {
				if (!items.empty())
					items.back().flags |= FL_MENU_DIVIDER;
				signature += "|-";
				continue;
			}
			labels.push_back(host_escape_label(item->Label()));
			Fl_Menu_Item entry = {};
			entry.text = labels.back().c_str();
			entry.user_data_ = reinterpret_cast<void*>(intptr_t(i));
			if (menu.IsRadioMode())
				entry.flags |= FL_MENU_RADIO;
			if (item->IsMarked())
				entry.flags |= FL_MENU_VALUE | (menu.IsRadioMode() ? 0 : FL_MENU_TOGGLE);
			if (!item->IsEnabled())
				entry.flags |= FL_MENU_INACTIVE;
			items.push_back(entry);
			signature += "|" + labels.back() + (item->IsMarked() ? "*" : "") +
			             (item->IsEnabled() ? "" : "~");
		}
		items.push_back(Fl_Menu_Item{});
	}
};

class MenuFieldButton : public Fl_Menu_Button {
public:
	MenuFieldButton(int x, int y, int w, int h) : Fl_Menu_Button(x, y, w, h)
	{
		// The field's text is escaped like every label: "&&" shows one '&'.
		set_flag(SHORTCUT_LABEL);
	}

	int handle(int event) override
	{
		// The timeout fires inside the menu's own loop, once the menu is up.
		// Only the call that opens the menu takes it away again: the loop sends
		// this button other events (focus moves with the grab) whose calls end
		// before the menu does.
		const bool opens = event == FL_PUSH || (event == FL_KEYBOARD && Fl::event_key() == ' ');
		if (opens)
			Fl::add_timeout(0.05, ReportOpened);
		int result = Fl_Menu_Button::handle(event);
		if (opens)
			Fl::remove_timeout(ReportOpened);
		return result;
	}

	static void ReportOpened(void*) { InterfaceHost::Event("menu-opened"); }

	// A field too narrow for its text and the arrow (the installer's language
	// code) shows the whole text, centred, without the arrow.
	void draw() override
	{
		const int arrow = (labelsize() - 3) & -2;
		fl_font(labelfont(), labelsize());
		int textWidth = 0, textHeight = 0;
		measure_label(textWidth, textHeight);
		if (box() == FL_NO_BOX || type() != 0 || textWidth + arrow + Fl::box_dw(box()) + 4 <= w()) {
			Fl_Menu_Button::draw();
			return;
		}
		draw_box(box(), color());
		draw_label(x() + Fl::box_dx(box()), y(), w() - Fl::box_dw(box()), h(),
		           Fl_Align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_CLIP));
		if (Fl::focus() == this)
			draw_focus();
	}

	MenuItems menuItems;
	std::string text;
	Address address;
};

void menu_picked(Fl_Widget* widget, void*)
{
	auto* button = static_cast<MenuFieldButton*>(widget);
	const Fl_Menu_Item* picked = button->mvalue();
	if (picked == nullptr)
		return;
	BMessage message(BMenuField::kHostPick);
	message.AddInt32("index", int32(reinterpret_cast<intptr_t>(picked->user_data())));
	button->address.Post(message);
}

void control_action(Fl_Widget* widget, void* data)
{
	auto* address = static_cast<Address*>(data);
	BMessage message(BControl::kHostAction);
	if (auto* check = dynamic_cast<Fl_Check_Button*>(widget))
		message.AddInt32("value", check->value());
	address->Post(message);
}

void scrollbar_moved(Fl_Widget* widget, void* data)
{
	auto* address = static_cast<Address*>(data);
	BMessage message(BScrollBar::kHostValue);
	message.AddFloat("value", float(static_cast<Fl_Scrollbar*>(widget)->value()));
	address->Post(message);
}

class NativeWindow;

// The native window: keys and window events become messages.
class HostFlWindow : public Fl_Double_Window {
public:
	HostFlWindow(NativeWindow* owner, int x, int y, int w, int h)
	    : Fl_Double_Window(x, y, w, h), fOwner(owner)
	{
	}

	int handle(int event) override;
	void resize(int x, int y, int w, int h) override;
	void draw() override;
	NativeWindow* Owner() const { return fOwner; }

	bool syncing = false;

private:
	NativeWindow* fOwner;
};

struct WidgetRecord {
	Fl_Widget* widget = nullptr;
	std::unique_ptr<Address> address;
};

class NativeWindow {
public:
	HostFlWindow* window = nullptr;
	std::map<uint64, WidgetRecord> widgets;
	Address address;
	std::string title;
	std::string titleLabel;
	bool complete = false;
	bool reportedDrawn = false;
	int32 drawSerial = 0;
	int32 syncSerial = 0;
	int32 reportedSerial = -1;
	bool shownReported = false;
	uint64 focusId = 0;
	bool active = false;
	bool closable = true;
	// Whether the window system gave it the keyboard; and whether it takes
	// the keyboard where no window manager gives it (not a tip).
	bool focused = false;
	bool takesFocus = true;
	bool focusOffered = false;

	~NativeWindow()
	{
		if (window != nullptr) {
			window->hide();
			Fl::delete_widget(window);
		}
	}
};

void post_key(NativeWindow* owner)
{
	int key = Fl::event_key();
	const char* text = Fl::event_text();
	std::string bytes = text != nullptr ? text : "";
	int32 code = 0;
	switch (key) {
		case FL_Up: bytes = std::string(1, char(B_UP_ARROW)); break;
		case FL_Down: bytes = std::string(1, char(B_DOWN_ARROW)); break;
		case FL_Left: bytes = std::string(1, char(B_LEFT_ARROW)); break;
		case FL_Right: bytes = std::string(1, char(B_RIGHT_ARROW)); break;
		case FL_Home: bytes = std::string(1, char(B_HOME)); break;
		case FL_End: bytes = std::string(1, char(B_END)); break;
		case FL_Page_Up: bytes = std::string(1, char(B_PAGE_UP)); break;
		case FL_Page_Down: bytes = std::string(1, char(B_PAGE_DOWN)); break;
		case FL_Enter:
		case FL_KP_Enter: bytes = std::string(1, char(B_ENTER)); break;
		case FL_Escape:
			bytes = std::string(1, char(B_ESCAPE));
			code = B_ESCAPE_KEY;
			break;
		case FL_BackSpace: bytes = std::string(1, char(B_BACKSPACE)); break;
		case FL_Delete: bytes = std::string(1, char(B_DELETE)); break;
		case FL_Tab: bytes = std::string(1, char(B_TAB)); break;
		default:
			if (key >= FL_F + 1 && key <= FL_F + 12) {
				bytes = std::string(1, char(B_FUNCTION_KEY));
				code = B_F1_KEY + (key - FL_F - 1);
			}
	}
	if (bytes.empty() && key > 0 && key < 128)
		bytes = std::string(1, char(key));
	if (bytes.empty())
		return;
	set_host_modifiers(be_modifiers(Fl::event_state()));
	BMessage message(B_KEY_DOWN);
	message.AddInt64("when", system_time());
	message.AddString("bytes", bytes.c_str());
	message.AddInt32("key", code);
	message.AddInt32("raw_char", key > 0 && key < 128 ? key : uint8(bytes[0]));
	message.AddInt32("modifiers", int32(be_modifiers(Fl::event_state())));
	owner->address.Post(message);
}

// A window clicked, or shown while no other program has the keyboard, takes
// it, as a window manager would give it; without one nothing else does.
void give_keyboard(NativeWindow* owner, const bool& clicked)
{
	HostFlWindow* window = owner->window;
	if (owner->focused || !owner->takesFocus || !window->shown() || !window->visible())
		return;
	Window focus = 0;
	int revert = 0;
	XGetInputFocus(fl_display, &focus, &revert);
	// A window just shown takes it from no window or one of ours, never
	// from another program's.
	const bool available = focus == PointerRoot || focus == None || fl_find(focus) != nullptr;
	if (!clicked && !available)
		return;
	XSetInputFocus(fl_display, fl_xid(window), RevertToPointerRoot, CurrentTime);
}

int HostFlWindow::handle(int event)
{
	if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
		// Controls FLTK handles itself (buttons take Space, menus their keys)
		// keep their keys; everything else goes to the window's looper.
		Fl_Widget* focus = Fl::focus();
		bool viewHasFocus = focus == nullptr || focus == this || dynamic_cast<ViewWidget*>(focus);
		bool navigation = Fl::event_key() == FL_Tab;
		bool command = (Fl::event_state() & (FL_ALT | FL_CTRL)) != 0;
		if ((viewHasFocus && !navigation) || command || Fl::event_key() == FL_Enter ||
		    Fl::event_key() == FL_KP_Enter || Fl::event_key() == FL_Escape) {
			post_key(fOwner);
			return 1;
		}
		if (Fl_Double_Window::handle(event))
			return 1;
		post_key(fOwner);
		return 1;
	}
	if (event == FL_PUSH)
		give_keyboard(fOwner, true);
	return Fl_Double_Window::handle(event);
}

void HostFlWindow::resize(int x, int y, int w, int h)
{
	bool moved = x != this->x() || y != this->y();
	bool resized = w != this->w() || h != this->h();
	Fl_Double_Window::resize(x, y, w, h);
	if (syncing)
		return;
	if (moved) {
		BMessage message(B_WINDOW_MOVED);
		message.AddPoint("where", BPoint(host_points(x), host_points(y)));
		fOwner->address.Post(message);
	}
	if (resized) {
		BMessage message(B_WINDOW_RESIZED);
		message.AddFloat("width", host_points(w) - 1);
		message.AddFloat("height", host_points(h) - 1);
		fOwner->address.Post(message);
	}
}

void HostFlWindow::draw()
{
	Fl_Double_Window::draw();
	if (!fOwner->complete || fOwner->reportedSerial == fOwner->syncSerial)
		return;
	fOwner->reportedSerial = fOwner->syncSerial;
	fOwner->drawSerial++;
	InterfaceHost::Event("drawn %d %d %d %d %d %s", fOwner->drawSerial, x(), y(), w(), h(),
	                     fOwner->title.c_str());
	// Drawn means mapped: the keyboard can be given to it now.
	if (!fOwner->focusOffered) {
		fOwner->focusOffered = true;
		give_keyboard(fOwner, false);
	}
	DeferredInputMethod::OpenNow();
}

void ask_to_close(NativeWindow* owner)
{
	if (!owner->closable)
		return;
	BMessage message(B_QUIT_REQUESTED);
	owner->address.Post(message);
}

void window_closed(Fl_Widget* widget, void* data)
{
	if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
		return;
	ask_to_close(static_cast<NativeWindow*>(data));
}

// The X events FLTK keeps from a window: the keyboard coming and going
// reaches only the widget that has it, and the close box of a window behind
// a modal one is dropped. Both are the window's to hear.
int watch_x_event(void* event, void*)
{
	const XEvent& x = *static_cast<XEvent*>(event);
	const bool focus = x.type == FocusIn || x.type == FocusOut;
	if (!focus && x.type != ClientMessage)
		return 0;
	auto* window = dynamic_cast<HostFlWindow*>(fl_find(x.xany.window));
	if (window == nullptr)
		return 0;
	NativeWindow* owner = window->Owner();
	if (focus) {
		if (x.xfocus.detail == NotifyInferior || owner->focused == (x.type == FocusIn))
			return 0;
		owner->focused = x.type == FocusIn;
		BMessage message(B_WINDOW_ACTIVATED);
		message.AddBool("active", owner->focused);
		owner->address.Post(message);
		return 0;
	}
	static const Atom closeAtom = XInternAtom(fl_display, "WM_DELETE_WINDOW", False);
	if (Fl::modal() == nullptr || Fl::modal() == window || x.xclient.format != 32 ||
	    Atom(x.xclient.data.l[0]) != closeAtom)
		return 0;
	ask_to_close(owner);
	return 1;
}

bool needs_drawing(BView* view)
{
	if (view->NeedsDrawing())
		return true;
	for (int32 i = 0; i < view->CountChildren(); i++) {
		if (needs_drawing(view->ChildAt(i)))
			return true;
	}
	return false;
}

// Syncs the widgets of one window; the window's lock is held.
class Syncer {
public:
	Syncer(NativeWindow& native, BWindow& window) : fNative(native), fWindow(window) {}

	void Run()
	{
		fOrder.clear();
		fSeen.clear();
		Walk(fWindow.RootView(), BRect(0, 0, fWindow.Bounds().Width(), fWindow.Bounds().Height()));
		RemoveUnseen();
		Reorder();
		SyncFocus();
	}

private:
	void Walk(BView* view, BRect visible)
	{
		BRect frame = view->ConvertToWindow(view->Bounds());
		BRect clip = frame & visible;
		SyncView(view, frame, clip);
		for (int32 i = 0; i < view->CountChildren(); i++)
			Walk(view->ChildAt(i), clip);
	}

	template <class Widget> Widget* Get(uint64 id, BView* view, BRect frame, bool* created)
	{
		WidgetRecord& record = fNative.widgets[id];
		*created = record.widget == nullptr;
		if (*created) {
			fNative.window->begin();
			record.widget = new Widget(host_pixels(frame.left), host_pixels(frame.top),
			                           host_pixels(frame.right + 1) - host_pixels(frame.left),
			                           host_pixels(frame.bottom + 1) - host_pixels(frame.top));
			fNative.window->end();
			record.address = std::make_unique<Address>();
			record.address->messenger = messenger_for(fWindow, view);
		}
		fSeen.insert(id);
		fOrder.push_back(record.widget);
		return static_cast<Widget*>(record.widget);
	}

	void Place(Fl_Widget* widget, BRect frame, bool hidden, bool active)
	{
		int x = host_pixels(frame.left);
		int y = host_pixels(frame.top);
		int w = host_pixels(frame.right + 1) - x;
		int h = host_pixels(frame.bottom + 1) - y;
		if (widget->x() != x || widget->y() != y || widget->w() != w || widget->h() != h)
			widget->resize(x, y, w, h);
		if (hidden && widget->visible())
			widget->hide();
		else if (!hidden && !widget->visible())
			widget->show();
		if (active && !widget->active())
			widget->activate();
		else if (!active && widget->active())
			widget->deactivate();
	}

	void Label(Fl_Widget* widget, const char* label, const BView* view)
	{
		std::string text = host_escape_label(label);
		if (widget->label() == nullptr || text != widget->label())
			widget->copy_label(text.c_str());
		BFont font;
		view->GetFont(&font);
		widget->labelsize(std::max(1, int(std::lround(font.Size() * host_scale()))));
		widget->labelfont(font.IsBold() ? FL_FREE_FONT + 1 : FL_FREE_FONT);
	}

	void SyncView(BView* view, BRect frame, BRect clip)
	{
		bool hidden = view->IsHidden() || !clip.IsValid();
		bool created = false;
		if (auto* button = dynamic_cast<BButton*>(view)) {
			auto* widget = Get<Fl_Button>(view->HostId(), view, frame, &created);
			if (created)
				widget->callback(control_action, fNative.widgets[view->HostId()].address.get());
			Label(widget, button->Label(), view);
			widget->box(button->IsDefault() ? FL_ENGRAVED_BOX : FL_UP_BOX);
			widget->color(fl_of(ui_color(B_PANEL_BACKGROUND_COLOR)));
			widget->visible_focus(1);
			Place(widget, frame, hidden, button->IsEnabled());
			return;
		}
		if (auto* check = dynamic_cast<BCheckBox*>(view)) {
			auto* widget = Get<Fl_Check_Button>(view->HostId(), view, frame, &created);
			if (created)
				widget->callback(control_action, fNative.widgets[view->HostId()].address.get());
			Label(widget, check->Label(), view);
			widget->value(check->Value() != 0 ? 1 : 0);
			widget->color(fl_of(view->ViewColor()));
			Place(widget, frame, hidden, check->IsEnabled());
			return;
		}
		if (auto* bar = dynamic_cast<BScrollBar*>(view)) {
			auto* widget = Get<Fl_Scrollbar>(view->HostId(), view, frame, &created);
			if (created)
				widget->callback(scrollbar_moved, fNative.widgets[view->HostId()].address.get());
			SyncScrollBar(widget, bar);
			Place(widget, frame, hidden, true);
			return;
		}
		SyncDrawn(view, frame, clip, hidden);
		if (auto* field = dynamic_cast<BMenuField*>(view))
			SyncMenuField(field, frame, clip, hidden);
	}

	void SyncScrollBar(Fl_Scrollbar* widget, BScrollBar* bar)
	{
		widget->type(bar->Orientation() == B_VERTICAL ? FL_VERTICAL : FL_HORIZONTAL);
		float min, max, small, large;
		bar->GetRange(&min, &max);
		bar->GetSteps(&small, &large);
		BView* target = bar->Target();
		float visible = target == nullptr                  ? large
		                : bar->Orientation() == B_VERTICAL ? target->Bounds().Height() + 1
		                                                   : target->Bounds().Width() + 1;
		int value = int(std::lround(bar->Value()));
		widget->scrollvalue(value, int(visible), int(min), int(max - min + visible));
		widget->linesize(std::max(1, int(small)));
	}

	void SyncDrawn(BView* view, BRect frame, BRect clip, bool hidden)
	{
		bool created = false;
		auto* widget = Get<ViewWidget>(view->HostId(), view, frame, &created);
		if (created)
			widget->address = *fNative.widgets[view->HostId()].address;
		std::shared_ptr<const DrawList> drawing = view->Drawing();
		bool changed = drawing != widget->drawing || view->ViewColor() != widget->background ||
		               view->ScrollOffset() != widget->scroll;
		widget->drawing = drawing;
		widget->background = view->ViewColor();
		widget->scroll = view->ScrollOffset();
		if (clip.IsValid()) {
			widget->clipX = host_pixels(clip.left);
			widget->clipY = host_pixels(clip.top);
			widget->clipW = host_pixels(clip.right + 1) - widget->clipX;
			widget->clipH = host_pixels(clip.bottom + 1) - widget->clipY;
		}
		widget->focusable = (view->Flags() & (B_NAVIGABLE | B_NAVIGABLE_JUMP)) != 0;
		auto* control = dynamic_cast<BControl*>(view);
		Place(widget, frame, hidden, control == nullptr || control->IsEnabled());
		if (changed)
			fChanged = true;
	}

	void SyncMenuField(BMenuField* field, BRect frame, BRect clip, bool hidden)
	{
		BRect menuFrame = frame;
		menuFrame.left = frame.left + field->Divider();
		if (!menuFrame.IsValid())
			menuFrame.left = frame.right;
		bool created = false;
		auto* widget =
		        Get<MenuFieldButton>(field->HostId() | kMenuButtonBit, field, menuFrame, &created);
		if (created) {
			widget->address.messenger = messenger_for(fWindow, field);
			widget->callback(menu_picked);
			widget->box(FL_UP_BOX);
			widget->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_CLIP);
		}
		MenuItems fresh;
		fresh.Build(*field->Menu());
		if (fresh.signature != widget->menuItems.signature || created) {
			widget->menuItems = std::move(fresh);
			// Labels moved with the vector: point the items at them again.
			size_t label = 0;
			for (Fl_Menu_Item& item : widget->menuItems.items) {
				if (item.text != nullptr)
					item.text = widget->menuItems.labels[label++].c_str();
			}
			widget->menu(widget->menuItems.items.data());
		}
		Label(widget, field->FieldText(), field);
		widget->textsize(widget->labelsize());
		widget->textfont(FL_FREE_FONT);
		Place(widget, menuFrame, hidden, field->IsEnabled());
	}

	void RemoveUnseen()
	{
		for (auto it = fNative.widgets.begin(); it != fNative.widgets.end();) {
			if (fSeen.count(it->first) != 0) {
				++it;
				continue;
			}
			fNative.window->remove(it->second.widget);
			Fl::delete_widget(it->second.widget);
			it = fNative.widgets.erase(it);
			fChanged = true;
		}
	}

	void Reorder()
	{
		Fl_Double_Window* window = fNative.window;
		for (size_t i = 0; i < fOrder.size(); i++) {
			if (window->child(int(i)) != fOrder[i])
				window->insert(*fOrder[i], int(i));
		}
	}

	void SyncFocus()
	{
		BView* focus = fWindow.CurrentFocus();
		uint64 id = focus != nullptr ? focus->HostId() : 0;
		if (id == fNative.focusId)
			return;
		fNative.focusId = id;
		auto found = fNative.widgets.find(id);
		if (found != fNative.widgets.end() && fNative.window->shown())
			found->second.widget->take_focus();
	}

	NativeWindow& fNative;
	BWindow& fWindow;
	std::vector<Fl_Widget*> fOrder;
	std::set<uint64> fSeen;
	bool fChanged = false;
};

void create_native(WindowHost& host, BWindow& window)
{
	auto* native = new NativeWindow;
	BRect frame = window.Frame();
	native->window = new HostFlWindow(native, host_pixels(frame.left), host_pixels(frame.top),
	                                  host_pixels(frame.right + 1) - host_pixels(frame.left),
	                                  host_pixels(frame.bottom + 1) - host_pixels(frame.top));
	native->window->end();
	native->window->callback(window_closed, native);
	native->window->xclass("Vantry");
	native->address.messenger = messenger_for(window, &window);
	if (window.Look() == B_NO_BORDER_WINDOW_LOOK || window.Look() == B_BORDERED_WINDOW_LOOK)
		native->window->border(0);
	native->takesFocus = (window.Flags() & B_AVOID_FOCUS) == 0 &&
	                     window.Look() != B_NO_BORDER_WINDOW_LOOK &&
	                     window.Look() != B_BORDERED_WINDOW_LOOK;
	if (window.IsModal())
		native->window->set_modal();
	else if (window.IsFloating())
		native->window->set_non_modal();
	host.native = native;
}

void sync_geometry(NativeWindow& native, BWindow& window)
{
	BRect frame = window.Frame();
	int x = host_pixels(frame.left), y = host_pixels(frame.top);
	int w = host_pixels(frame.right + 1) - x, h = host_pixels(frame.bottom + 1) - y;
	HostFlWindow* fl = native.window;
	bool fixed = (window.Flags() & B_NOT_RESIZABLE) != 0;
	float minWidth, maxWidth, minHeight, maxHeight;
	window.GetSizeLimits(&minWidth, &maxWidth, &minHeight, &maxHeight);
	if (fixed)
		fl->size_range(w, h, w, h);
	else
		fl->size_range(std::max(1, host_pixels(minWidth + 1)),
		               std::max(1, host_pixels(minHeight + 1)), 0, 0);
	if (fl->x() != x || fl->y() != y || fl->w() != w || fl->h() != h) {
		fl->syncing = true;
		fl->resize(x, y, w, h);
		fl->syncing = false;
	}
	native.closable = (window.Flags() & B_NOT_CLOSABLE) == 0;
	if (native.title != window.Title()) {
		native.title = window.Title();
		fl->copy_label(native.title.c_str());
	}
}

} // namespace

void host_sync_window(WindowHost& host, BWindow& window)
{
	bool wanted = !window.IsHidden() && !window.IsMinimized();
	auto* native = static_cast<NativeWindow*>(host.native);
	if (native == nullptr && !wanted)
		return;
	if (native == nullptr) {
		create_native(host, window);
		native = static_cast<NativeWindow*>(host.native);
	}
	sync_geometry(*native, window);
	Syncer(*native, window).Run();
	native->complete = !needs_drawing(window.RootView()) && !window.NeedsUpdate();
	native->syncSerial++;
	if (wanted && !native->window->shown()) {
		native->window->show();
		InterfaceHost::Event("shown %s", native->title.c_str());
	} else if (!wanted && native->window->shown()) {
		native->window->hide();
		InterfaceHost::Event("hidden %s", native->title.c_str());
	} else if (wanted && window.IsActive() && !native->active && !native->focused &&
	           (Fl::modal() == nullptr || Fl::modal() == native->window)) {
		// Activate: show again raises the window and gives it the focus. A
		// window the server already focused needs nothing, and none rises
		// over a modal box, whose clicks it would then take.
		native->window->show();
	}
	native->active = window.IsActive();
	native->window->redraw();
	std::lock_guard<std::mutex> guard(host.lock);
	host.shownFrame = window.Frame();
	host.shownMain = wanted && window.Look() == B_TITLED_WINDOW_LOOK && !window.IsModal() &&
	                 !window.IsFloating();
}

void host_watch_x_events()
{
	Fl::add_system_handler(watch_x_event, nullptr);
}

void host_destroy_native(WindowHost& host)
{
	auto* native = static_cast<NativeWindow*>(host.native);
	host.native = nullptr;
	delete native;
}
