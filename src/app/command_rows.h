// The rows of the command table (app/command_table.h), each with its handler
// first. Read twice on purpose, so this file has no include guard: the
// portable table takes every row without its handler, and the dispatch
// (app/command_handlers.cpp) takes the handlers alone, in the same order, so
// the portable half never names a Win32 function. A null handler does
// nothing. Where one identifier has rows for several event types or views,
// the first row that fits is taken.
// clang-format off

// "Datei".
VELKOR_COMMAND(ExportFromMenu, {.first = kExportProcessesCommand, .menu = "Prozessliste exportieren...",
    .help = "Exportiert die aktuelle Prozessliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm).",
    .menuPicture = images::kMenuExport})
VELKOR_COMMAND(ExportFromMenu, {.first = kExportWindowsCommand, .menu = "Fensterliste exportieren...",
    .help = "Exportiert die aktuelle Fensterliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm).",
    .menuPicture = images::kMenuExport})
VELKOR_COMMAND(ExportFromMenu, {.first = kExportServicesCommand, .menu = "Dienstliste exportieren...",
    .help = "Exportiert die aktuelle Dienstliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm).",
    .menuPicture = images::kMenuExport})
VELKOR_COMMAND(ExportFromMenu, {.first = kExportDriversCommand, .menu = "Treiberliste exportieren...",
    .help = "Exportiert die aktuelle Treiberliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm).",
    .menuPicture = images::kMenuExport})
VELKOR_COMMAND(nullptr, {.first = kFirstSeparator, .last = kLastSeparator, .state = StateRule::kNeverEnabled})
VELKOR_COMMAND(RestartAsAdministrator, {.first = kRestartElevatedCommand, .menu = "Als Administrator neu starten",
    .help = "Startet Velkor mit Administratorrechten neu; Windows fragt vorher nach der Erlaubnis."})
VELKOR_COMMAND(Quit, {.first = kCloseProgramCommand, .menu = "Schließen",
    .help = "Schließt die grafische Oberfläche von Velkor.", .menuPicture = images::kMenuClose})

// "Ansicht".
VELKOR_COMMAND(ShowViewFromMenu, {.first = kFirstViewCommand + kProcessView, .menu = "Prozesse",
    .help = "Zeigt die aktuelle Prozessliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen.",
    .state = StateRule::kCurrentView})
VELKOR_COMMAND(ShowViewFromMenu, {.first = kFirstViewCommand + kWindowView, .menu = "Fenster",
    .help = "Zeigt die aktuelle Fensterliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen.",
    .state = StateRule::kCurrentView})
VELKOR_COMMAND(ShowViewFromMenu, {.first = kFirstViewCommand + kServiceView, .menu = "Dienste",
    .help = "Zeigt die aktuelle Dienstliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen.",
    .state = StateRule::kCurrentView})
VELKOR_COMMAND(ShowViewFromMenu, {.first = kFirstViewCommand + kDriverView, .menu = "Treiber",
    .help = "Zeigt die aktuelle Treiberliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen.",
    .state = StateRule::kCurrentView})
VELKOR_COMMAND(ShowViewFromMenu, {.first = kFirstViewCommand + kNetworkView, .menu = "Netzwerk",
    .help = "Zeigt die aktuelle Netzwerkliste im Hauptbereich an und Informationen über verfügbare Adapter.",
    .state = StateRule::kCurrentView})
VELKOR_COMMAND(ShowViewFromMenu, {.first = kFirstViewCommand + kMonitorView, .menu = "Überwachung",
    .help = "Zeigt die Hardware-Überwachung im Hauptbereich an.", .state = StateRule::kCurrentView})

// The toolbar; 20, 21 and 23..25 are menu items too. A button reacts to its
// click alone.
VELKOR_COMMAND(StartTaskManager, {.first = kTaskManagerCommand, .types = kLeftClickOnly,
    .tooltip = "Task-Manager starten (Strg+Alt+Entf)", .buttonPicture = images::kToolbarTaskmgr})
VELKOR_COMMAND(OpenPreferencesCommand, {.first = kPreferencesCommand, .types = kLeftClickOnly,
    .menu = "Einstellungen",
    .help = "Zeigt das Einstellungsfenster von Velkor an, in dem Konfigurationen durchgeführt werden können.",
    .tooltip = "Einstellungen (Strg+P)", .menuPicture = images::kMenuPreferences,
    .buttonPicture = images::kToolbarPreferences, .shortcut = {InWindow(kMainWindow), true, 'P'}})
VELKOR_COMMAND(ToggleDiagram, {.first = kDiagramCommand, .types = kLeftClickOnly, .menu = "Diagramm anzeigen",
    .help = "Zeigt ein grafisches Diagram aller aktuellen Prozesse mit verschiedenen Sortierungen",
    .tooltip = "Diagramm anzeigen (Strg+D)", .menuPicture = images::kMenuDiagram,
    .buttonPicture = images::kToolbarDiagram,
    .shortcut = {InWindow(kMainWindow) | InWindow(kDiagramWindow), true, 'D'}})
VELKOR_COMMAND(OpenRun, {.first = kRunDialogCommand, .types = kLeftClickOnly,
    .tooltip = "Prozess starten... (Strg+R)", .buttonPicture = images::kToolbarRun,
    .shortcut = {InWindow(kMainWindow), true, 'R'}})
VELKOR_COMMAND(EndProcesses, {.first = kKillCommand, .types = kLeftClickOnly, .menu = "Prozess beenden",
    .help = "Beendet ausgewählte Prozesse sofort.", .tooltip = "Prozess beenden (Entf)",
    .menuPicture = images::kMenuEndProcess, .buttonPicture = images::kToolbarEndProcess,
    .greyPicture = images::kToolbarEndProcessGrey, .shortcut = {InWindow(kMainWindow), false, kKeyDelete},
    .state = StateRule::kProcessSelected})
// The same button and shortcut search for the selected driver in "Treiber";
// the view's texts go to the button when the view shows.
VELKOR_COMMAND(SearchProcess, {.first = kSearchCommand, .view = kProcessView, .types = kLeftClickOnly,
    .menu = "Nach diesem Prozess im Internet suchen",
    .help = "Sucht im Internet nach ausgewählten Prozessen. Hierfür wird der Dateiname verwendet.",
    .tooltip = "Nach diesem Prozess im Internet suchen (Strg+F)", .menuPicture = images::kMenuSearch,
    .buttonPicture = images::kToolbarWebSearch, .greyPicture = images::kToolbarWebSearchGrey,
    .shortcut = {InWindow(kMainWindow), true, 'F'}, .state = StateRule::kProcessOrDriverSelected})
VELKOR_COMMAND(SearchDriver, {.first = kSearchCommand, .view = kDriverView, .types = kLeftClickOnly,
    .menu = "Nach diesem Treiber im Internet suchen",
    .help = "Sucht im Internet nach dem ausgewähltem Treiber. Hierfür wird der Dateiname verwendet.",
    .tooltip = "Nach diesem Treiber im Internet suchen (Strg+F)", .menuPicture = images::kMenuSearch,
    .buttonPicture = images::kToolbarWebSearch, .greyPicture = images::kToolbarWebSearchGrey,
    .shortcut = {InWindow(kMainWindow), true, 'F'}, .state = StateRule::kProcessOrDriverSelected})
VELKOR_COMMAND(ShowProcessInformation, {.first = kProcessInfoCommand, .types = kLeftClickOnly, .menu = "Prozessinformationen zeigen",
    .help = "Zeigt detaillierte Informationen über ausgewählte Prozesse.",
    .tooltip = "Prozessinformationen zeigen (Strg+I)", .menuPicture = images::kMenuInformation,
    .buttonPicture = images::kToolbarInformation, .greyPicture = images::kToolbarInformationGrey,
    .shortcut = {InWindow(kMainWindow), true, 'I'}, .state = StateRule::kProcessSelected})

// "Windows": the items and their texts come from the power menu both
// programs build; one help line per item.
VELKOR_COMMAND(PowerFromMenu, {.first = kFirstPowerCommand, .last = kLastPowerCommand,
    .help = "Fährt den Computer herunter, sodass er ausgeschaltet werden kann.\n"
            "Fährt den Computer herunter und startet ihn anschließend neu.\n"
            "Versetzt den Computer in den Standby-Zustand, aus dem er schnell wieder hochgefahren werden kann.\n"
            "Versetzt den Computer in den Ruhezustand. Alle Informationen werden gespeichert und der PC wird ausgeschaltet. Beim nächsten Start wird diese Sitzung wiederhergestellt.\n"
            "Meldet den aktuellen Benutzer \"{}\" ab.\n"
            "Sperrt den Computer gegen unerlaubten Zugriff oder wechselt den Benutzer.",
    .state = StateRule::kPower, .label = RangeLabel::kUserName})

// "Hilfe".
VELKOR_COMMAND(HelpFromMenu, {.first = kHelpCommand, .menu = "Hilfe...", .help = "Zeigt die Hilfedatei an.",
    .menuPicture = images::kMenuHelp, .shortcut = {InWindow(kMainWindow), false, kKeyF1}})
VELKOR_COMMAND(OpenInformation, {.first = kInformationCommand, .menu = "Information",
    .help = "Zeigt einige Informationen über Velkor.", .menuPicture = images::kMenuInformation})

// Keys of their own. Ctrl+Tab and Ctrl+Shift+Tab go through the views as
// their tabs would (in "Einstellungen" to the other page); Shift+F10 (the
// context-menu key means the same) opens the focused list's menu at its
// focused row; F5 is the current view's "Aktualisieren"; Escape does what
// the close of the dialog window in front does.
VELKOR_COMMAND(NextView, {.first = kNextViewCommand,
    .shortcut = {InWindow(kMainWindow) | InWindow(kPreferencesWindow), true, kKeyTab}})
VELKOR_COMMAND(PreviousView, {.first = kPreviousViewCommand,
    .shortcut = {InWindow(kMainWindow) | InWindow(kPreferencesWindow), true, kKeyTab, true}})
VELKOR_COMMAND(OpenContextMenu, {.first = kContextMenuCommand,
    .shortcut = {InWindow(kMainWindow), false, kKeyF10, true}})
VELKOR_COMMAND(RefreshView, {.first = kRefreshViewCommand, .shortcut = {InWindow(kMainWindow), false, kKeyF5}})
VELKOR_COMMAND(CloseDialog, {.first = kCloseDialogCommand,
    .shortcut = {InWindow(kDiagramWindow) | InWindow(kPreferencesWindow) | InWindow(kInformationWindow), false,
                 kKeyEscape}})

// The process list's menu.
VELKOR_COMMAND(RefreshProcesses, {.first = kRefreshProcessesCommand, .menu = "Aktualisieren",
    .help = "Aktualisiert die Prozessliste.", .menuPicture = images::kMenuRefresh})
VELKOR_COMMAND(SetPriority, {.first = kFirstPriorityCommand, .last = kLastPriorityCommand, .menu = "{}",
    .help = "Setzt die Priorität ausgewählter Prozesse auf \"{}\"", .label = RangeLabel::kPriorityName})
VELKOR_COMMAND(ToggleProcessor, {.first = kFirstProcessorCommand, .last = kLastProcessorCommand, .menu = "#{}",
    .state = StateRule::kOneProcessorEach, .label = RangeLabel::kOrdinal})
VELKOR_COMMAND(SuspendProcesses, {.first = kSuspendCommand, .menu = "Prozess anhalten",
    .help = "Hält ausgewählte Prozesse an.", .menuPicture = images::kMenuSuspend})
VELKOR_COMMAND(ResumeProcesses, {.first = kResumeCommand, .menu = "Prozess fortsetzen",
    .help = "Setzt ausgewählte Prozesse fort.", .menuPicture = images::kMenuResume})
VELKOR_COMMAND(OptimizeProcesses, {.first = kOptimizeCommand, .menu = "Prozess optimieren",
    .help = "Ausgewählte Prozesse werden in ihrem Speicherverbrauch optimiert, sodass sie weniger Arbeitsspeicher verbrauchen.",
    .menuPicture = images::kMenuOptimize})
VELKOR_COMMAND(OpenProcessFolderCommand, {.first = kOpenFolderCommand, .menu = "Verzeichnis öffnen",
    .help = "Öffnet das Verzeichnis, in dem ausgewählte Prozesse sich befinden.", .menuPicture = images::kMenuFolder})

// The window list's menu.
VELKOR_COMMAND(RefreshWindows, {.first = kRefreshWindowsCommand, .menu = "Aktualisieren",
    .help = "Aktualisiert die Fensterliste.", .menuPicture = images::kMenuRefresh})
VELKOR_COMMAND(SetTransparency, {.first = kOpaqueCommand, .menu = "Keine Transparenz",
    .help = "Deaktiviert die Fenstertransparenz."})
VELKOR_COMMAND(SetTransparency, {.first = kFirstTransparencyCommand, .last = kLastTransparencyCommand, .menu = "{}%",
    .help = "Setzt die Fenstertransparenz auf {}%. Ein größerer Wert lässt das Fenster durchscheinender werden.",
    .label = RangeLabel::kTens})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kTopmostCommand, .menu = "Immer im Vordergrund",
    .help = "Hält das ausgewählte Fenster zu jeder Zeit im Vordergrund, selbst wenn ein anderes Fenster den Fokus besitzt.",
    .menuPicture = images::kMenuTopmost, .state = StateRule::kWindowTopmost})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kToggleVisibleCommand, .menu = "Verstecken / Anzeigen",
    .help = "Versteckt oder zeigt das ausgewählte Fenster."})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kMinimiseCommand, .menu = "Minimieren"})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kMaximiseCommand, .menu = "Maximieren"})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kRestoreCommand, .menu = "Wiederherstellen"})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kCloseWindowCommand, .menu = "Schließen",
    .help = "Schließt das ausgewählte Fenster. Es ist Anwendungsabhängig was mit dem Fenster weiter geschieht."})
VELKOR_COMMAND(WindowCommandFromMenu, {.first = kDestroyWindowCommand, .menu = "Zerstören",
    .help = "Zerstört das ausgewählte Fenster und entfernt es unmittelbar vom Bildschirm. Dies sollte nur im Notfall benutzt werden."})
VELKOR_COMMAND(JumpToProcess, {.first = kJumpToProcessCommand, .menu = "Zu diesem Prozess springen",
    .help = "Springt auf die Prozessliste und wählt den Prozess an, dem das ausgewählte Fenster gehört."})

// The service and driver lists' menus.
VELKOR_COMMAND(ServiceCommand, {.first = kServiceRefreshCommand, .menu = "Aktualisieren",
    .help = "Aktualisiert die Dienstliste.", .menuPicture = images::kMenuRefresh})
VELKOR_COMMAND(ServiceCommand, {.first = kServiceStartCommand, .menu = "Starten",
    .help = "Startet den ausgewählten Dienst.", .menuPicture = images::kMenuStart})
VELKOR_COMMAND(ServiceCommand, {.first = kServiceStopCommand, .menu = "Stoppen",
    .help = "Stoppt den ausgewählten Dienst.", .menuPicture = images::kMenuStop})
VELKOR_COMMAND(ServiceCommand, {.first = kServicePauseCommand, .menu = "Anhalten",
    .help = "Hält den ausgewählten Dienst an."})
VELKOR_COMMAND(ServiceCommand, {.first = kServiceContinueCommand, .menu = "Fortsetzen",
    .help = "Seztz den ausgewählten Dienst fort."})
VELKOR_COMMAND(RefreshDrivers, {.first = kDriverRefreshCommand, .menu = "Aktualisieren",
    .help = "Aktualisiert die Treiberliste.", .menuPicture = images::kMenuRefresh})
VELKOR_COMMAND(DriverFolder, {.first = kDriverFolderCommand, .menu = "Verzeichnis öffnen",
    .help = "Öffnet das Verzeichnis, in dem der ausgewählter Treiber sich befindet.",
    .menuPicture = images::kMenuFolder})

// The filter field: Ctrl+E, also in "Diagramm", and its text.
VELKOR_COMMAND(FocusFilterField, {.first = kFocusFilterCommand,
    .shortcut = {InWindow(kMainWindow) | InWindow(kDiagramWindow), true, 'E'}})
VELKOR_COMMAND(FilterFieldChanged, {.first = kFilterField, .types = kChangeOnly})

// Events of the main window's controls.
VELKOR_COMMAND(SelectTab, {.first = kTabStrip, .types = kLeftClickOnly})
VELKOR_COMMAND(ProcessMenu, {.first = kProcessList, .types = kRightClickOnly})
VELKOR_COMMAND(ProcessSelectionChanged, {.first = kProcessList, .types = kChangeOnly})
VELKOR_COMMAND(ServiceMenu, {.first = kServiceList, .types = kRightClickOnly})
VELKOR_COMMAND(DriverMenu, {.first = kDriverList, .types = kRightClickOnly})
VELKOR_COMMAND(WindowListClick, {.first = kWindowList, .types = kRightClickOnly | kDoubleClickOnly})
VELKOR_COMMAND(RefreshWindows, {.first = kShowHiddenWindows, .last = kShowOffscreenWindows})
VELKOR_COMMAND(SelectionChanged, {.first = kDriverList, .types = kChangeOnly})
VELKOR_COMMAND(AdapterSelected, {.first = kNetworkList, .types = kChangeOnly})

// Window 3, "Einstellungen". A picture or link reports a double click as a
// click and then a double click: the page selector and the links act on the
// click alone, so a double click neither switches twice nor opens twice.
VELKOR_COMMAND(PreferencesPageCommand, {.first = kPrefsPageSelectorId, .types = kLeftClickOnly})
VELKOR_COMMAND(AutostartBoxCommand, {.first = kAutostartBoxId, .last = kRemainBoxId})
VELKOR_COMMAND(NumberFieldCommand, {.first = kListRefreshFieldId, .types = kChangeOnly})
VELKOR_COMMAND(NumberFieldCommand, {.first = kMonitorRefreshFieldId, .types = kChangeOnly})
VELKOR_COMMAND(NumberFieldCommand, {.first = kExitCodeFieldId, .types = kChangeOnly})
VELKOR_COMMAND(DefaultExitCodeCommand, {.first = kExitCodeDefaultButtonId})
VELKOR_COMMAND(SearchEngineMenuCommand, {.first = kSearchDefaultButtonId})
VELKOR_COMMAND(PreferencesOkCommand, {.first = kPrefsOkButtonId})
VELKOR_COMMAND(PreferencesCancelCommand, {.first = kPrefsCancelButtonId})
VELKOR_COMMAND(SearchEngineCommand, {.first = kFirstSearchEngineId, .last = kLastSearchEngineId})

// Window 1, "Ausführen": Return and Escape act as its buttons.
VELKOR_COMMAND(RunTextChanged, {.first = kRunCommandBox})
VELKOR_COMMAND(StartRun, {.first = kRunOkButton, .shortcut = {InWindow(kRunWindow), false, kKeyReturn}})
VELKOR_COMMAND(CancelRun, {.first = kRunCancelButton, .shortcut = {InWindow(kRunWindow), false, kKeyEscape}})
VELKOR_COMMAND(BrowseRun, {.first = kRunBrowseButton})

// Window 4, "Information"; the labels between the links send nothing.
VELKOR_COMMAND(InformationLink, {.first = kFirstInformationLink, .last = kLastInformationLink,
    .types = kLeftClickOnly})
VELKOR_COMMAND(CloseInformation, {.first = kAboutCloseButton})
VELKOR_COMMAND(ToDisclaimer, {.first = kDisclaimerButton})
VELKOR_COMMAND(CloseInformation, {.first = kDisclaimerCloseButton})
VELKOR_COMMAND(ToAbout, {.first = kAboutButton})

// Window 2, "Diagramm".
VELKOR_COMMAND(DiagramDoubleClick, {.first = kPieImage, .types = kDoubleClickOnly})
VELKOR_COMMAND(DiagramMeasure, {.first = kMeasureList, .types = kChangeOnly})

// clang-format on
