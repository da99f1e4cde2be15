// The identifiers of the controls the program's code addresses by name; the
// numbers are those of the layout table (app/layout.cpp). Subsystems get the
// handles of these controls from app, never the numbers.
#pragma once

#include <array>

namespace velkor {

// The six views of the main window, in tab order.
inline constexpr int kProcessView = 0;
inline constexpr int kWindowView = 1;
inline constexpr int kServiceView = 2;
inline constexpr int kDriverView = 3;
inline constexpr int kNetworkView = 4;
inline constexpr int kMonitorView = 5;
inline constexpr int kViewCount = 6;

// Window 0: tab strip, its filler and the status bar.
inline constexpr int kTabFiller = 135;
inline constexpr int kTabStrip = 136;
inline constexpr int kStatusBar = 137;
// The panels of the six views, in view order.
inline constexpr std::array<int, 6> kViewPanels = {138, 146, 151, 153, 155, 192};

// The filter field on the toolbar's row (324 and 325 are taken).
inline constexpr int kFilterField = 326;

// "Prozesse".
inline constexpr int kProcessList = 139;
inline constexpr int kProcessSummary = 140;
// "Fenster": the list and its three filter boxes.
inline constexpr int kWindowList = 147;
inline constexpr int kShowHiddenWindows = 148;
inline constexpr int kShowSizelessWindows = 149;
inline constexpr int kShowOffscreenWindows = 150;
// "Dienste" and "Treiber".
inline constexpr int kServiceList = 152;
inline constexpr int kDriverList = 154;
// "Netzwerk": the load graph and figure, the interface list and the details box.
inline constexpr int kNetworkGraph = 157;
inline constexpr int kAdapterPicture = 158;
inline constexpr int kNetworkLoad = 160;
inline constexpr int kNetworkList = 161;
inline constexpr int kAdapterHeading = 163;
inline constexpr int kFirstAdapterValue = 165;  // then every second identifier

// The lists of the views, in view order ("Überwachung" has none).
inline constexpr std::array<int, 5> kViewLists = {kProcessList, kWindowList, kServiceList, kDriverList, kNetworkList};

// The banners across the top of windows 1 to 4 and of the disclaimer page;
// window 3's sidebar and page selector are named in settings/preferences_window.h.
inline constexpr std::array<int, 5> kBanners = {230, 238, 247, 301, 319};
inline constexpr int kAboutLogoPicture = 302;
inline constexpr int kDisclaimerText = 321;
// Window 1, "Ausführen".
inline constexpr int kRunCommandBox = 232;
inline constexpr int kRunParameterField = 234;
inline constexpr int kRunOkButton = 235;
inline constexpr int kRunCancelButton = 236;
inline constexpr int kRunBrowseButton = 237;
// Window 2, "Diagramm": the pie and the measure chooser.
inline constexpr int kPieImage = 239;
inline constexpr int kMeasureList = 240;
// Window 4: the links of the about page, the page buttons of both pages.
inline constexpr int kFirstInformationLink = 307;
inline constexpr int kMailLink = 307;
inline constexpr int kIconsLink = 312;
inline constexpr int kTeamLink = 314;
inline constexpr int kLastInformationLink = 314;
inline constexpr int kAboutCloseButton = 316;
inline constexpr int kDisclaimerButton = 317;
inline constexpr int kDisclaimerCloseButton = 322;
inline constexpr int kAboutButton = 323;
// Window 5, the transparency scale.
inline constexpr int kScalePicture = 324;
// Window 6 "Prozessinformationen": the tab strip, one list per page in tab
// order, the buttons of "Allgemein" and the load graph of "Leistung".
inline constexpr int kProcessInfoTabs = 330;
inline constexpr std::array<int, 8> kProcessInfoLists = {331, 332, 333, 334, 335, 336, 337, 338};
inline constexpr int kProcessInfoFolderButton = 339;
inline constexpr int kProcessInfoEndButton = 340;
inline constexpr int kProcessInfoGraph = 341;

}  // namespace velkor
