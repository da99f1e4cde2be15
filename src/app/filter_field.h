// The filter field on the toolbar's row of the main window: each list view
// keeps its own text, applied live to its list (rows hidden and shown in
// place); "Überwachung" has none and disables the field. Nothing of it is
// stored in velkor.ini.
#pragma once

namespace velkor {

struct ViewSpec;

// The field's hint and its keys, once the main window's controls exist.
void SetUpFilterField();
// The field's text changed: the shown view's list follows it.
void ApplyFieldFilter();
// ShowView: the field shows `view`'s text, enabled for a view with a list.
void ShowViewFilter(int view);
// Every view unfiltered again (the windows are destroyed).
void DestroyFilterField();
// Ctrl+E: the field gets the focus with its text selected.
void FocusFilter();

// The rows of `view`'s list, shown and all (the filter hides the others).
struct ListRowCounts {
  int shown = 0;
  int all = 0;
};
ListRowCounts RowCountsOf(const ViewSpec& view);

}  // namespace velkor
