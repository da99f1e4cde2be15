#include "app/status_bar.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <utility>

#include "app/accessibility.h"
#include "app/command_table.h"
#include "app/menus.h"
#include "shell/power.h"
#include "app/startup.h"
#include "app/control_ids.h"
#include "app/filter_field.h"
#include "app/status_bar_look.h"
#include "app/window_registry.h"
#include "app/program_windows.h"
#include "app/view_table.h"
#include "gfx/bitmap.h"
#include "gfx/contrast.h"
#include "gfx/image_names.h"
#include "gfx/look_cache_win.h"
#include "monitor/history_strip_win.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {

namespace {

struct StatusBarState {
  win::UniqueBitmap picture;  // what control 137 shows
  HWND shownIn = nullptr;
  int width = 0;
  int dpi = 0;
  int view = -1;
  bool separators = false;
  int shift = 0;
  std::vector<StatusBarText> texts;
  int historyImage = 0;  // the selected process's strip drawn, and its state
  uint64_t historyRevision = 0;
  // The background for the bar's width, view and scale: drawn once, copied
  // at every update.
  Canvas background;
  const Canvas* backgroundStrip = nullptr;
  int backgroundWidth = 0;
  bool backgroundSeparators = false;
  int backgroundDpi = 0;
  int backgroundShift = 0;
  std::optional<ContrastColours> backgroundContrast;
  // Kept from one update to the next, as the figures change at every sample:
  // the DC the texts are drawn in, and one of the bar's own that shows them.
  // Each DC set up anew, and the bar's repaint (which sets up two), cost
  // more than the drawing.
  win::UniqueMemoryDc drawDc;
  PictureBlitter screen;
};
StatusBarState& State() {
  static StatusBarState state;
  return state;
}

}  // namespace

const std::vector<StatusBarText>& StatusBarTexts() { return State().texts; }

void UpdateStatusBar(int what) {
  VELKOR_PLACE(kProceduresUnit);
  HWND bar = ControlHandle(kStatusBar);
  if (!bar || !MainWindow) return;
  StatusBarState& state = State();
  const int dpi = LayoutDpiOf(kMainWindow);
  const Canvas* strip = CachedPictureForDpi(images::kStatusbar, dpi);
  RECT client{};
  GetClientRect(MainWindow, &client);
  const int width = std::max<int>(client.right - client.left, 1);
  const int view = CurrentView;
  const ViewSpec& row = ShownView();
  const std::string help =
      (what == kStatusFigures || what == kStatusPlain) ? std::string() : CommandHelpLine(what, view, PowerUserName());
  const ListRowCounts rows = RowCountsOf(row);
  std::vector<StatusBarText> texts =
      LayOutStatusBar(what, row.countWord, {rows.shown, rows.all}, LastSample, help, dpi);
  const std::optional<ContrastColours> contrast =
      HighContrast() ? std::optional<ContrastColours>(*HighContrast()) : std::nullopt;
  const bool fresh = !state.picture || state.width != width || state.shownIn != bar || state.dpi != dpi ||
                     state.backgroundContrast != contrast;
  // The same texts on the same background: the picture on screen is right.
  const int historyImage = (row.stripInStatusBar && what == kStatusFigures) ? SelectedHistoryImage() : 0;
  const uint64_t historyRevision = historyImage ? HistoryImagesRevision() : 0;
  const bool separators = StatusBarHasSeparators(what, row.countWord);
  const int shift = StatusBarShift({rows.shown, rows.all});
  if (!fresh && state.view == view && texts == state.texts && state.separators == separators && state.shift == shift &&
      state.historyImage == historyImage && state.historyRevision == historyRevision)
    return;
  const std::vector<StatusBarText> before = std::exchange(state.texts, std::move(texts));
  AnnounceStatusBarFields(before);
  state.view = view;
  state.separators = separators;
  state.shift = shift;
  state.historyImage = historyImage;
  state.historyRevision = historyRevision;

  if (state.backgroundStrip != strip || state.backgroundWidth != width || state.backgroundSeparators != separators ||
      state.backgroundDpi != dpi || state.backgroundShift != shift || state.backgroundContrast != contrast ||
      state.background.pixels.empty()) {
    state.background = DrawStatusBarBackground(strip ? *strip : Canvas(), width, separators, dpi, shift);
    state.backgroundShift = shift;
    state.backgroundStrip = strip;
    state.backgroundWidth = width;
    state.backgroundSeparators = separators;
    state.backgroundDpi = dpi;
    state.backgroundContrast = contrast;
  }
  Canvas picture = state.background;
  if (historyImage) DrawSelectedHistoryImage(picture, dpi);
  // Without alpha the static control shows the picture itself instead of a
  // copy, so it can be redrawn in place.
  for (Pixel& p : picture.pixels) p &= 0x00FFFFFFu;
  win::UniqueBitmap created;
  if (fresh) created = CanvasToBitmap(picture);
  HBITMAP target = fresh ? created.get() : state.picture.get();
  if (!target || (!fresh && !CopyCanvasToBitmap(picture, target))) {
    state.view = -1;  // not shown: the next call draws again
    return;
  }
  if (!state.drawDc) state.drawDc.reset(CreateCompatibleDC(nullptr));
  bool shown = false;
  if (HDC dc = state.drawDc.get()) {
    // The picture leaves the DC again below: the bar selects it into its
    // own when it paints itself.
    win::SelectScope selectBitmap(dc, target);
    win::SelectScope selectFont(dc, CachedFont(8, false, false, dpi));
    SetBkMode(dc, TRANSPARENT);
    const Pixel ink = contrast ? contrast->faceText : MakePixel(0, 0, 0);
    SetTextColor(dc, RGB(PixelRed(ink), PixelGreen(ink), PixelBlue(ink)));
    for (const StatusBarText& text : state.texts)
      TextOutA(dc, text.x, text.y, text.text.c_str(), static_cast<int>(text.text.size()));
    // The picture already in the bar goes to the screen at once; parts
    // hidden now are painted from it when they show.
    shown = !fresh && state.screen.Copy(bar, dc, picture.width, picture.height);
  }
  GdiFlush();
  if (fresh) {
    SetStaticPicture(bar, std::move(created), state.picture);
    state.shownIn = bar;
    state.width = width;
    state.dpi = dpi;
  } else if (!shown) {
    InvalidateRect(bar, nullptr, FALSE);
  }
}

void DestroyStatusBar() {
  StatusBarState& state = State();
  state.screen.Release();
  state.drawDc.reset();
  state.picture.reset();
  state.shownIn = nullptr;
  state.width = 0;
  state.view = -1;
  state.texts.clear();
  state.background = Canvas();
  state.backgroundContrast.reset();
  state.backgroundStrip = nullptr;
}

}  // namespace velkor
