// The view table against the layout, and the late parts of a view built and
// filled before it first shows, whichever way the user opens it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/event_loop.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/view_table.h"
#include "gfx/look_cache_win.h"
#include "support/built_windows.h"

namespace velkor {
namespace {

// The container right under window 0 that holds `id`.
int TopContainerOf(int id) {
  const ControlSpec* def = FindControlSpec(id);
  while (def && def->parent)
    if (const ControlSpec* up = FindControlSpec(def->parent))
      def = up;
    else
      break;
  return def ? def->id : 0;
}

TEST(ViewTable, EveryRowNamesAPanelAndListOfTheLayout) {
  ASSERT_EQ(ViewTable().size(), static_cast<size_t>(kViewCount));
  for (int view = 0; view < kViewCount; ++view) {
    const ViewSpec& row = *ViewOf(view);
    const ControlSpec* panel = FindControlSpec(row.panel);
    ASSERT_NE(panel, nullptr) << view;
    EXPECT_EQ(panel->window, kMainWindow) << view;
    EXPECT_EQ(panel->parent, 0) << view;
    if (row.list) {
      EXPECT_EQ(TopContainerOf(row.list), row.panel) << view;
      EXPECT_EQ(ViewOfList(row.list), view);
    }
    // What is refreshed, filled or counted must be there to refresh.
    EXPECT_TRUE(!row.listFilledLate || (row.list && row.refresh)) << view;
    EXPECT_TRUE(!row.refreshedWhenShown || row.refresh) << view;
    EXPECT_TRUE(!row.countWord || row.list) << view;
    EXPECT_NE(CachedPictureForDpi(row.tabPicture, 96), nullptr) << view;
  }
  EXPECT_EQ(ViewOf(kViewCount), nullptr);
  EXPECT_EQ(ViewOf(-1), nullptr);
}

class LateViews : public test::BuiltWindows {};

std::string CountText() { return StatusBarTexts().empty() ? std::string() : StatusBarTexts()[0].text; }

// Through the "Ansicht" menu items, as the user opens them: the late
// controls exist and the list the start left for later is filled before the
// view shows, and the status bar counts that view's rows.
TEST_F(LateViews, AreBuiltAndFilledBeforeTheirFirstShow) {
  BuildHere({}, false);
  for (const ViewSpec& row : ViewTable())
    if (row.builtLate && row.list) {
      EXPECT_EQ(ControlHandle(row.list), nullptr);  // asking builds nothing
    }
  for (int view = kViewCount - 1; view >= 0; --view) {
    const ViewSpec& row = *ViewOf(view);
    DispatchEvent({kEventMenu, 13 + view, 0, kMainWindow});
    ASSERT_EQ(CurrentView, view);
    EXPECT_TRUE(IsWindowVisible(ControlHandle(row.panel))) << view;
    for (const ControlSpec& def : ControlTable())
      if (def.window == kMainWindow && TopContainerOf(def.id) == row.panel) {
        EXPECT_NE(ControlHandle(def.id), nullptr) << view << " " << def.id;
      }
    UpdateStatusBar(kStatusFigures);
    if (!row.countWord) {
      EXPECT_EQ(CountText(), "") << view;
      continue;
    }
    // A list left for later shows what a fresh fill shows.
    const int rows = ListView_GetItemCount(ControlHandle(row.list));
    row.refresh();
    EXPECT_EQ(ListView_GetItemCount(ControlHandle(row.list)), rows) << view;
    EXPECT_EQ(CountText(), std::string(row.countWord) + ": " + std::to_string(rows)) << view;
  }
}

}  // namespace
}  // namespace velkor
