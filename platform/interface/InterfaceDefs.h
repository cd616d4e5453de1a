// Constants, small types and functions shared by the interface kit: colours,
// resizing modes, view flags, keys, messages, drawing modes and truncation.
#pragma once

#include "GraphicsDefs.h"
#include "SupportDefs.h"

// Colours of the user interface.
enum color_which {
	B_PANEL_BACKGROUND_COLOR = 1,
	B_MENU_BACKGROUND_COLOR = 2,
	B_WINDOW_TAB_COLOR = 3,
	B_KEYBOARD_NAVIGATION_COLOR = 4,
	B_DESKTOP_COLOR = 5,
	B_MENU_SELECTION_BACKGROUND_COLOR = 6,
	B_MENU_ITEM_TEXT_COLOR = 7,
	B_MENU_SELECTED_ITEM_TEXT_COLOR = 8,
	B_MENU_SELECTED_BORDER_COLOR = 9,
	B_PANEL_TEXT_COLOR = 10,
	B_DOCUMENT_BACKGROUND_COLOR = 11,
	B_DOCUMENT_TEXT_COLOR = 12,
	B_CONTROL_BACKGROUND_COLOR = 13,
	B_CONTROL_TEXT_COLOR = 14,
	B_CONTROL_BORDER_COLOR = 15,
	B_CONTROL_HIGHLIGHT_COLOR = 16,
	B_NAVIGATION_PULSE_COLOR = 17,
	B_SHINE_COLOR = 18,
	B_SHADOW_COLOR = 19,
	B_TOOLTIP_BACKGROUND_COLOR = 20,
	B_TOOLTIP_TEXT_COLOR = 21,
	B_LIST_BACKGROUND_COLOR = 28,
	B_LIST_SELECTED_BACKGROUND_COLOR = 29,
	B_LIST_ITEM_TEXT_COLOR = 30,
	B_LIST_SELECTED_ITEM_TEXT_COLOR = 31,
};

rgb_color ui_color(color_which which);
// Replaces a colour of the table for the whole process (the window system
// sets the desktop's own colours at start-up).
void set_ui_color(const color_which& which, const rgb_color& color);
// Lightens (below 1) or darkens (above 1) a colour, as the platform's tints do.
rgb_color tint_color(rgb_color color, float tint);

const float B_LIGHTEN_MAX_TINT = 0.0f;
const float B_LIGHTEN_2_TINT = 0.385f;
const float B_LIGHTEN_1_TINT = 0.590f;
const float B_NO_TINT = 1.0f;
const float B_DARKEN_1_TINT = 1.147f;
const float B_DARKEN_2_TINT = 1.295f;
const float B_DARKEN_3_TINT = 1.407f;
const float B_DARKEN_4_TINT = 1.555f;
const float B_DARKEN_MAX_TINT = 2.0f;
const float B_DISABLED_LABEL_TINT = B_DARKEN_3_TINT;
const float B_HIGHLIGHT_BACKGROUND_TINT = B_DARKEN_2_TINT;
const float B_DISABLED_MARK_TINT = B_LIGHTEN_2_TINT;

// An 8 by 8 bit pattern; set bits take the high colour, clear bits the low one.
struct pattern {
	uint8 data[8];
};

extern const pattern B_SOLID_HIGH;
extern const pattern B_MIXED_COLORS;
extern const pattern B_SOLID_LOW;

enum drawing_mode {
	B_OP_COPY = 0,
	B_OP_OVER = 1,
	B_OP_ERASE = 2,
	B_OP_INVERT = 3,
	B_OP_ADD = 4,
	B_OP_SUBTRACT = 5,
	B_OP_BLEND = 6,
	B_OP_MIN = 7,
	B_OP_MAX = 8,
	B_OP_SELECT = 9,
	B_OP_ALPHA = 10,
};

enum border_style {
	B_PLAIN_BORDER = 0,
	B_FANCY_BORDER = 1,
	B_NO_BORDER = 2,
};

enum orientation {
	B_HORIZONTAL = 0,
	B_VERTICAL = 1,
};

enum alignment {
	B_ALIGN_LEFT = 0,
	B_ALIGN_RIGHT = 1,
	B_ALIGN_CENTER = 2,
};

enum button_width {
	B_WIDTH_AS_USUAL = 0,
	B_WIDTH_FROM_WIDEST = 1,
	B_WIDTH_FROM_LABEL = 2,
};

// Resizing modes: how a view follows its parent's edges.
#define _VIEW_TOP_ 1UL
#define _VIEW_LEFT_ 2UL
#define _VIEW_BOTTOM_ 3UL
#define _VIEW_RIGHT_ 4UL
#define _VIEW_CENTER_ 5UL
#define _rule_(r1, r2, r3, r4) (((r1) << 12) | ((r2) << 8) | ((r3) << 4) | (r4))

enum : uint32 {
	B_FOLLOW_NONE = 0,
	B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_),
	B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
	B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_),
	B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_),
	B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_),
	B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
	B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0),
	B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0),
	B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0),
	B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
};

// View flags.
enum : uint32 {
	B_FULL_UPDATE_ON_RESIZE = 0x80000000UL,
	B_WILL_DRAW = 0x20000000UL,
	B_PULSE_NEEDED = 0x10000000UL,
	B_NAVIGABLE_JUMP = 0x08000000UL,
	B_FRAME_EVENTS = 0x04000000UL,
	B_NAVIGABLE = 0x02000000UL,
	B_SUBPIXEL_PRECISE = 0x01000000UL,
	B_DRAW_ON_CHILDREN = 0x00800000UL,
	B_INPUT_METHOD_AWARE = 0x00400000UL,
};

// Messages of the interface kit.
enum : uint32 {
	B_MOUSE_DOWN = '_MDN',
	B_MOUSE_UP = '_MUP',
	B_MOUSE_MOVED = '_MMV',
	B_MOUSE_WHEEL_CHANGED = '_MWC',
	B_KEY_DOWN = '_KYD',
	B_KEY_UP = '_KYU',
	B_WINDOW_ACTIVATED = '_ACT',
	B_WINDOW_RESIZED = '_WRS',
	B_WINDOW_MOVED = '_WMV',
	B_SCREEN_CHANGED = '_SCH',
	B_WORKSPACE_ACTIVATED = '_WAC',
	B_WORKSPACES_CHANGED = '_WCG',
	B_MINIMIZE = '_WMZ',
	B_ZOOM = '_WZM',
	B_VIEW_RESIZED = '_VRS',
	B_VIEW_MOVED = '_VMV',
	B_VALUE_CHANGED = '_VCH',
	B_CONTROL_INVOKED = 'CIVK',
	B_CONTROL_MODIFIED = 'CMOD',
};

// Key bytes.
enum {
	B_BACKSPACE = 0x08,
	B_RETURN = 0x0a,
	B_ENTER = 0x0a,
	B_SPACE = 0x20,
	B_TAB = 0x09,
	B_ESCAPE = 0x1b,
	B_LEFT_ARROW = 0x1c,
	B_RIGHT_ARROW = 0x1d,
	B_UP_ARROW = 0x1e,
	B_DOWN_ARROW = 0x1f,
	B_INSERT = 0x05,
	B_DELETE = 0x7f,
	B_HOME = 0x01,
	B_END = 0x04,
	B_PAGE_UP = 0x0b,
	B_PAGE_DOWN = 0x0c,
	B_FUNCTION_KEY = 0x10,
};

// Key codes ("key" of a key message) of the function keys.
enum {
	B_ESCAPE_KEY = 0x01,
	B_F1_KEY = 0x02,
	B_F2_KEY = 0x03,
	B_F3_KEY = 0x04,
	B_F4_KEY = 0x05,
	B_F5_KEY = 0x06,
	B_F6_KEY = 0x07,
	B_F7_KEY = 0x08,
	B_F8_KEY = 0x09,
	B_F9_KEY = 0x0a,
	B_F10_KEY = 0x0b,
	B_F11_KEY = 0x0c,
	B_F12_KEY = 0x0d,
};

// Modifier keys; the command key is Alt on the host.
enum : uint32 {
	B_SHIFT_KEY = 0x00000001,
	B_COMMAND_KEY = 0x00000002,
	B_CONTROL_KEY = 0x00000004,
	B_CAPS_LOCK = 0x00000008,
	B_SCROLL_LOCK = 0x00000010,
	B_NUM_LOCK = 0x00000020,
	B_OPTION_KEY = 0x00000040,
	B_MENU_KEY = 0x00000080,
};

// Mouse buttons.
enum : uint32 {
	B_PRIMARY_MOUSE_BUTTON = 0x01,
	B_SECONDARY_MOUSE_BUTTON = 0x02,
	B_TERTIARY_MOUSE_BUTTON = 0x04,
};

// Mouse transits of MouseMoved.
enum {
	B_ENTERED_VIEW = 0,
	B_INSIDE_VIEW = 1,
	B_EXITED_VIEW = 2,
	B_OUTSIDE_VIEW = 3,
};

// Where a truncated text loses its characters.
enum : uint32 {
	B_TRUNCATE_END = 0,
	B_TRUNCATE_BEGINNING = 1,
	B_TRUNCATE_MIDDLE = 2,
	B_TRUNCATE_SMART = 3,
};

enum : uint32 {
	B_CURRENT_WORKSPACE = 0,
	B_ALL_WORKSPACES = 0xffffffffUL,
};

const float B_V_SCROLL_BAR_WIDTH = 14.0f;
const float B_H_SCROLL_BAR_HEIGHT = 14.0f;

// The current state of the modifier keys, as the window system last reported it.
uint32 modifiers();
