// The layout of every window and control of velkor.exe as data: identifiers,
// kinds, positions and sizes (as functions of the main window's client size
// W x H at creation), anchoring, captions and fonts. BuildWindows turns the
// tables into windows; the portable rules of resizing live here too.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "procs/priority.h"

namespace velkor {

// Window numbers.
enum WindowNumber : int {
  kMainWindow = 0,
  kRunWindow = 1,
  kDiagramWindow = 2,
  kPreferencesWindow = 3,
  kInformationWindow = 4,
  kScaleWindow = 5,
  kProcessInfoWindow = 6,
};
inline constexpr int kWindowCount = 7;

// A coordinate base + perW * W + perH * H, resolved against the client size
// of the main window at creation.
struct Extent {
  int base = 0;
  int perW = 0;
  int perH = 0;
  [[nodiscard]] constexpr int Resolve(int w, int h) const { return base + perW * w + perH * h; }
};
constexpr Extent N(int v) { return {v, 0, 0}; }
constexpr Extent FromW(int v) { return {v, 1, 0}; }  // W + v
constexpr Extent FromH(int v) { return {v, 0, 1}; }  // H + v

enum Anchor : uint8_t { kAnchorNone = 0, kLeft = 1, kTop = 2, kRight = 4, kBottom = 8, kAllEdges = 15 };

enum class ControlKind : uint8_t {
  kPanel,          // view panel or dialog page: borderless container in the panel colour
  kBox,            // bordered white container
  kImage,          // picture
  kSunkenImage,    // picture with a sunken edge
  kList,           // report list view
  kReadOnlyField,  // read-only text without border
  kLabel,
  kLabelRight,
  kCheckBox,
  kButton,
  kDefaultButton,
  kEdit,           // text field
  kNumberEdit,     // digits only
  kSpinEdit,       // digits with up-down arrows
  kComboEdit,      // editable drop-down
  kComboImages,    // extended combo box with 16x16 icons, drop-down list
  kGroup,          // group frame
  kSeparator,      // one-pixel line
  kScrollArea,     // vertically scrolling container
  kToolbarButton,  // 28x28 picture button
  kLink,           // blue underlined text that opens a target
  kMultiLineReadOnly,
  kTabs,  // the system's tab control
};

enum ControlFlag : uint16_t {
  kBold = 1,          // font 0
  kBigFont = 2,       // font 3
  kHidden = 4,        // created hidden
  kDisabled = 8,      // created disabled
  kMultiSelect = 16,  // list allowing several selected rows
  kWhite = 32,        // container in white instead of the panel colour
  kRedText = 64,
  kStretch = 128,  // picture stretched to the control
  // A caption column: the labels and check boxes marked kCaption that share
  // a parent and an x; a control marked kAfterCaption starts after the
  // widest caption of the nearest column left of it with a caption in its
  // row (at its font and DPI), or where the table puts it if that is further
  // right, and keeps its right edge.
  kCaption = 256,
  kAfterCaption = 512,
  kTabStop = 1024,    // a picture that takes the keyboard focus (the tab strip)
  kOwnerData = 2048,  // a list whose owner holds its rows (LVS_OWNERDATA)
};

struct ControlSpec {
  int id;
  int window;  // 0..5
  int parent;  // containing control id, 0 = the window's client area
  ControlKind kind;
  Extent x, y, w, h;
  uint8_t anchors;
  std::string_view text;  // caption, or a tooltip for toolbar buttons
  uint16_t flags = 0;
  std::string_view tooltip = {};
  int limit = 0;  // text fields: most characters; spin: upper bound; combos: list height
};

struct ColumnSpec {
  int list;
  std::string_view header;
  int width;
  bool right;
};

struct WindowSpec {
  int number;
  std::string_view title;
  int clientWidth, clientHeight;
  bool caption;  // caption and system menu
  bool owned;    // owned by window 0 and centred over it at creation
  bool topmost;
  bool dropShadow;
};

std::span<const ControlSpec> ControlTable();
std::span<const ColumnSpec> ColumnTable();
std::span<const WindowSpec> WindowTable();
const ControlSpec* FindControlSpec(int id);

// Colours.
inline constexpr Rgb kPanelColour{204, 221, 255};
inline constexpr Rgb kWhiteColour{255, 255, 255};

// The main window's smallest outer size.
inline constexpr int kMinimumOuterWidth = 570;
inline constexpr int kMinimumOuterHeight = 465;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};
struct Size {
  int w = 0, h = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A control's rectangle after its parent went from `created` to `now`: an
// edge it is anchored to keeps its distance to that edge; anchored at both
// opposite edges it stretches; anchored at neither it keeps its place.
Rect AnchoredRect(const Rect& atCreation, uint8_t anchors, Size created, Size now);

// Raises a requested outer size to the main window's minimum.
Size EnforceMinimumSize(Size requested);

// The view under x on the tab strip, or nothing right of the last tab.
std::optional<int> TabAtX(int x);
// The right edge of each view's tab, from the first view to the last.
std::span<const int> TabRightEdges();

// The main window's place from the stored geometry: centred unless both X
// and Y differ from -1.
bool UseStoredPosition(int x, int y);

// Whether a window whose outer rectangle is `outer` and whose title bar
// (frame included) is `captionHeight` high can be grabbed by its title bar:
// at least 40 pixels of its width (all of it when narrower) and half its
// height lie on one of the work areas.
bool TitleBarReachable(const Rect& outer, int captionHeight, std::span<const Rect> workAreas);
// The main window's outer rectangle at start: the stored outer size raised to
// the minimum, at the stored position, or centred on `screen` when a
// coordinate is -1 or the title bar would be out of reach on every work area.
Rect MainWindowStartRect(int storedX, int storedY, Size storedOuter, int captionHeight, Size screen,
                         std::span<const Rect> workAreas);
// The start rectangle on the work area of the monitor it opens on: a side
// longer than the area's is cut to the area (never below `minimum`) and
// starts at the area's edge; a side that fits keeps its place, so a window
// the user put partly off the screen stays there.
Rect FitToWorkArea(const Rect& start, const Rect& workArea, Size minimum);
// A window of outer size `size` beside `main` on the work area of main's
// monitor: right of it where it fits, else left of it, else at the side with
// more room, shifted into the area as far as it goes; top edge with main's.
Rect BesideWindow(const Rect& main, Size size, const Rect& workArea);

}  // namespace velkor
