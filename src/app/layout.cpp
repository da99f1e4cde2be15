#include "app/layout.h"

#include <algorithm>
#include <array>

#include "app/command_table.h"
#include "velkor_version.h"

namespace velkor {
namespace {

using K = ControlKind;

constexpr uint8_t kLT = kLeft | kTop;
constexpr uint8_t kLTR = kLeft | kTop | kRight;
constexpr uint8_t kLRB = kLeft | kRight | kBottom;
constexpr uint8_t kLB = kLeft | kBottom;
constexpr uint8_t kTR = kTop | kRight;
constexpr uint8_t kTRB = kTop | kRight | kBottom;

// clang-format off
constexpr ControlSpec kControls[] = {
  // Window 0: toolbar; the tooltips come from the command table, the search
  // button's with the view shown.
  {kTaskManagerCommand, 0, 0, K::kToolbarButton, N(2),   N(2), N(28), N(28), kLT, CommandTooltip(kTaskManagerCommand)},
  {kRunDialogCommand,   0, 0, K::kToolbarButton, N(32),  N(2), N(28), N(28), kLT, CommandTooltip(kRunDialogCommand)},
  {kPreferencesCommand, 0, 0, K::kToolbarButton, N(82),  N(2), N(28), N(28), kLT, CommandTooltip(kPreferencesCommand)},
  {kDiagramCommand,     0, 0, K::kToolbarButton, N(132), N(2), N(28), N(28), kLT, CommandTooltip(kDiagramCommand)},
  {kKillCommand,        0, 0, K::kToolbarButton, N(162), N(2), N(28), N(28), kLT, CommandTooltip(kKillCommand), kDisabled},
  {kSearchCommand,      0, 0, K::kToolbarButton, N(192), N(2), N(28), N(28), kLT, CommandTooltip(kSearchCommand), kDisabled},
  {kProcessInfoCommand, 0, 0, K::kToolbarButton, N(222), N(2), N(28), N(28), kLT, CommandTooltip(kProcessInfoCommand), kDisabled},
  {kFilterField,        0, 0, K::kEdit, FromW(-186), N(5), N(180), N(22), kTR, "", 0, {}, 260},
  // Window 0: frame. The tab strip is as wide as its picture; BuildWindows
  // sizes 136 and 135 from the decoded picture.
  {136, 0, 0, K::kImage, N(0), N(30), N(400), N(25), kLT, "", kTabStop},
  {135, 0, 0, K::kImage, N(400), N(30), FromW(-400), N(25), kLT, "", kStretch},
  {137, 0, 0, K::kImage, N(0), FromH(-20), FromW(0), N(20), kLRB, "", kStretch},
  {138, 0, 0, K::kPanel, N(0), N(55), FromW(0), FromH(-75), kAllEdges, "Prozesse", kHidden},
  {146, 0, 0, K::kPanel, N(0), N(55), FromW(0), FromH(-75), kAllEdges, "Fenster", kHidden},
  {151, 0, 0, K::kPanel, N(0), N(55), FromW(0), FromH(-75), kAllEdges, "Dienste", kHidden},
  {153, 0, 0, K::kPanel, N(0), N(55), FromW(0), FromH(-75), kAllEdges, "Treiber", kHidden},
  {155, 0, 0, K::kPanel, N(0), N(55), FromW(0), FromH(-75), kAllEdges, "Netzwerk", kHidden},
  {192, 0, 0, K::kPanel, N(0), N(55), FromW(0), FromH(-75), kAllEdges, "Überwachung", kHidden},

  // Panel "Prozesse".
  {139, 0, 138, K::kList, N(5), N(0), FromW(-10), FromH(-185), kAllEdges, "", kMultiSelect | kOwnerData},
  {140, 0, 138, K::kBox, N(5), FromH(-180), FromW(-10), N(100), kLRB, ""},
  {141, 0, 140, K::kImage, N(10), N(10), N(32), N(32), kAnchorNone, ""},
  {142, 0, 140, K::kReadOnlyField, N(52), N(10), FromW(-70), N(15), kLTR, "", kBold},
  {143, 0, 140, K::kReadOnlyField, N(50), N(25), FromW(-70), N(15), kLTR, ""},
  {144, 0, 140, K::kLabel, N(53), N(50), FromW(-70), N(15), kLTR, ""},
  {145, 0, 140, K::kLabel, N(53), N(65), FromW(-70), N(15), kLTR, ""},

  // Panel "Fenster".
  {147, 0, 146, K::kList, N(5), N(0), FromW(-10), FromH(-105), kAllEdges, ""},
  {148, 0, 146, K::kCheckBox, N(10),  FromH(-100), N(165), N(20), kLB, "Zeige versteckte Fenster", kCaption},
  {149, 0, 146, K::kCheckBox, N(175), FromH(-100), N(165), N(20), kLB, "Zeige Fenster ohne Größe", kCaption | kAfterCaption},
  {150, 0, 146, K::kCheckBox, N(340), FromH(-100), N(250), N(20), kLB, "Zeige Fenster außerhalb des Bildschirms", kAfterCaption},

  // Panels "Dienste" and "Treiber".
  {152, 0, 151, K::kList, N(5), N(0), FromW(-10), FromH(-80), kAllEdges, ""},
  {154, 0, 153, K::kList, N(5), N(0), FromW(-10), FromH(-80), kAllEdges, ""},

  // Panel "Netzwerk".
  {156, 0, 155, K::kBox, N(5), N(0), FromW(-10), N(150), kLTR, ""},
  {157, 0, 156, K::kSunkenImage, N(10), N(10), FromW(-30), N(100), kLTR, ""},
  {159, 0, 156, K::kLabel, N(10), N(122), N(140), N(15), kAnchorNone, "Netzwerk-Auslastung:", kBold | kCaption},
  {160, 0, 156, K::kLabelRight, N(155), N(122), N(45), N(15), kAnchorNone, "", kBold | kAfterCaption},
  {161, 0, 155, K::kList, N(5), N(160), FromW(-300), FromH(-240), kAllEdges, ""},
  {162, 0, 155, K::kBox, FromW(-285), N(160), N(280), FromH(-240), kTRB, ""},
  {158, 0, 162, K::kImage, N(8), N(8), N(24), N(24), kAnchorNone, ""},
  {163, 0, 162, K::kLabel, N(40), N(6), N(230), N(25), kAnchorNone, "Netzwerkadapter wählen...", kBold},
  // The fourteen detail rows 14 apart: all of them fit the box at the main
  // window's first size, whose menu bar takes its height from the client area.
  {164, 0, 162, K::kLabel, N(10), N(36), N(150), N(14), kAnchorNone, "Maximale Datenrate:", kCaption},
  {165, 0, 162, K::kLabel, N(160), N(36), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {166, 0, 162, K::kLabel, N(10), N(50), N(150), N(14), kAnchorNone, "Maximale Paketgröße:", kCaption},
  {167, 0, 162, K::kLabel, N(160), N(50), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {168, 0, 162, K::kLabel, N(10), N(64), N(150), N(14), kAnchorNone, "Physikalische Adresse:", kCaption},
  {169, 0, 162, K::kLabel, N(160), N(64), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {170, 0, 162, K::kLabel, N(10), N(78), N(150), N(14), kAnchorNone, "Gesamt empfangen:", kCaption},
  {171, 0, 162, K::kLabel, N(160), N(78), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {172, 0, 162, K::kLabel, N(10), N(92), N(150), N(14), kAnchorNone, "Gesamt gesendet:", kCaption},
  {173, 0, 162, K::kLabel, N(160), N(92), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {174, 0, 162, K::kLabel, N(10), N(106), N(150), N(14), kAnchorNone, "Unicasts empfangen:", kCaption},
  {175, 0, 162, K::kLabel, N(160), N(106), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {176, 0, 162, K::kLabel, N(10), N(120), N(150), N(14), kAnchorNone, "Unicasts gesendet:", kCaption},
  {177, 0, 162, K::kLabel, N(160), N(120), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {178, 0, 162, K::kLabel, N(10), N(134), N(150), N(14), kAnchorNone, "Nicht-Unicasts empfangen:", kCaption},
  {179, 0, 162, K::kLabel, N(160), N(134), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {180, 0, 162, K::kLabel, N(10), N(148), N(150), N(14), kAnchorNone, "Nicht-Unicasts gesendet:", kCaption},
  {181, 0, 162, K::kLabel, N(160), N(148), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {182, 0, 162, K::kLabel, N(10), N(162), N(150), N(14), kAnchorNone, "Empfangen, aber verworfen:", kCaption},
  {183, 0, 162, K::kLabel, N(160), N(162), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {184, 0, 162, K::kLabel, N(10), N(176), N(150), N(14), kAnchorNone, "Gesendet, aber verworfen:", kCaption},
  {185, 0, 162, K::kLabel, N(160), N(176), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {186, 0, 162, K::kLabel, N(10), N(190), N(150), N(14), kAnchorNone, "Fehlerhaft empfangen:", kCaption},
  {187, 0, 162, K::kLabel, N(160), N(190), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {188, 0, 162, K::kLabel, N(10), N(204), N(150), N(14), kAnchorNone, "Fehlerhaft gesendet:", kCaption},
  {189, 0, 162, K::kLabel, N(160), N(204), N(115), N(14), kAnchorNone, "", kAfterCaption},
  {190, 0, 162, K::kLabel, N(10), N(218), N(150), N(14), kAnchorNone, "Unbekannte Pakete:", kCaption},
  {191, 0, 162, K::kLabel, N(160), N(218), N(115), N(14), kAnchorNone, "", kAfterCaption},

  // Panel "Überwachung".
  {193, 0, 192, K::kBox, N(5), N(0), FromW(-10), N(150), kLTR, ""},
  {194, 0, 193, K::kSunkenImage, N(10), N(10), N(90), N(100), kAnchorNone, ""},
  {195, 0, 193, K::kSunkenImage, N(110), N(10), FromW(-130), N(100), kLTR, ""},
  {196, 0, 193, K::kLabel, N(10), N(122), N(142), N(15), kAnchorNone, "Prozessor-Auslastung:", kBold | kCaption},
  {197, 0, 193, K::kLabelRight, N(155), N(122), N(45), N(15), kAnchorNone, "", kBold | kAfterCaption},
  {198, 0, 193, K::kCheckBox, FromW(-70), N(122), N(50), N(15), kTR, "Pause"},
  {199, 0, 192, K::kBox, N(5), N(160), FromW(-300), N(170), kLTR, ""},
  // Its "Pause" sits 60 pixels left of the box's right edge, as in the
  // processor box; further right it would lie outside the box.
  {200, 0, 199, K::kSunkenImage, N(10), N(10), FromW(-320), N(100), kLTR, ""},
  {201, 0, 199, K::kLabel, N(10), N(122), N(140), N(15), kAnchorNone, "Arbeitsspeicher:", kBold | kCaption},
  {202, 0, 199, K::kLabelRight, N(155), N(122), N(45), N(15), kAnchorNone, "", kBold | kAfterCaption},
  {203, 0, 199, K::kLabel, N(10), N(142), N(140), N(15), kAnchorNone, "Ausgelagerter Speicher:", kBold | kCaption},
  {204, 0, 199, K::kLabelRight, N(155), N(142), N(45), N(15), kAnchorNone, "", kBold | kAfterCaption},
  {205, 0, 199, K::kCheckBox, FromW(-360), N(122), N(50), N(15), kTR, "Pause"},
  {206, 0, 192, K::kBox, FromW(-285), N(160), N(280), N(170), kTR, ""},
  {207, 0, 206, K::kLabel, N(10), N(5), N(140), N(15), kAnchorNone, "Arbeitspeicher:", kBold},
  {208, 0, 206, K::kLabel, N(30), N(25), N(50), N(15), kAnchorNone, "Gesamt:", kCaption},
  {209, 0, 206, K::kLabelRight, N(80), N(25), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {210, 0, 206, K::kLabel, N(30), N(40), N(50), N(15), kAnchorNone, "Prozesse:", kCaption},
  {213, 0, 206, K::kLabelRight, N(80), N(40), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {214, 0, 206, K::kLabelRight, N(210), N(40), N(50), N(15), kAnchorNone, ""},
  {215, 0, 206, K::kLabel, N(30), N(55), N(50), N(15), kAnchorNone, "System:", kCaption},
  {216, 0, 206, K::kLabelRight, N(80), N(55), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {217, 0, 206, K::kLabelRight, N(210), N(55), N(50), N(15), kAnchorNone, ""},
  {211, 0, 206, K::kSeparator, N(30), N(72), N(230), N(1), kAnchorNone, ""},
  {218, 0, 206, K::kLabel, N(30), N(75), N(50), N(15), kAnchorNone, "Frei:", kCaption},
  {219, 0, 206, K::kLabelRight, N(80), N(75), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {220, 0, 206, K::kLabelRight, N(210), N(75), N(50), N(15), kAnchorNone, ""},
  {221, 0, 206, K::kLabel, N(10), N(95), N(140), N(15), kAnchorNone, "Auslagerungsdatei:", kBold},
  {222, 0, 206, K::kLabel, N(30), N(115), N(50), N(15), kAnchorNone, "Gesamt:", kCaption},
  {223, 0, 206, K::kLabelRight, N(80), N(115), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {224, 0, 206, K::kLabel, N(30), N(130), N(50), N(15), kAnchorNone, "Belegt:", kCaption},
  {225, 0, 206, K::kLabelRight, N(80), N(130), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {226, 0, 206, K::kLabelRight, N(210), N(130), N(50), N(15), kAnchorNone, ""},
  {212, 0, 206, K::kSeparator, N(30), N(147), N(230), N(1), kAnchorNone, ""},
  {227, 0, 206, K::kLabel, N(30), N(150), N(50), N(15), kAnchorNone, "Frei:", kCaption},
  {228, 0, 206, K::kLabelRight, N(80), N(150), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {229, 0, 206, K::kLabelRight, N(210), N(150), N(50), N(15), kAnchorNone, ""},

  // Window 1 "Ausführen".
  {230, 1, 0, K::kImage, N(0), N(0), N(420), N(25), kAnchorNone, ""},
  {231, 1, 0, K::kLabel, N(20), N(34), N(60), N(16), kAnchorNone, "Öffnen:", kCaption},
  {232, 1, 0, K::kComboEdit, N(80), N(30), N(260), N(22), kAnchorNone, "", kAfterCaption, {}, 200},
  {233, 1, 0, K::kLabel, N(20), N(64), N(60), N(16), kAnchorNone, "Parameter:", kCaption},
  {234, 1, 0, K::kEdit, N(80), N(60), N(260), N(20), kAnchorNone, "", kAfterCaption},
  {235, 1, 0, K::kDefaultButton, N(20), N(95), N(100), N(24), kAnchorNone, "OK", kDisabled},
  {236, 1, 0, K::kButton, N(130), N(95), N(100), N(24), kAnchorNone, "Abbrechen"},
  {237, 1, 0, K::kButton, N(240), N(95), N(100), N(24), kAnchorNone, "Durchsuchen..."},

  // Window 2 "Diagramm".
  {238, 2, 0, K::kImage, N(0), N(0), N(420), N(25), kAnchorNone, ""},
  {239, 2, 0, K::kImage, N(30), N(30), N(240), N(240), kAnchorNone, ""},
  {240, 2, 0, K::kComboImages, N(10), N(285), N(280), N(22), kAnchorNone, "", 0, {}, 200},
  {241, 2, 0, K::kBox, N(10), N(315), N(280), N(100), kAnchorNone, ""},
  {242, 2, 241, K::kImage, N(10), N(10), N(32), N(32), kAnchorNone, ""},
  {243, 2, 241, K::kLabel, N(52), N(10), N(210), N(15), kAnchorNone, "", kBold},
  {244, 2, 241, K::kLabel, N(52), N(25), N(210), N(15), kAnchorNone, ""},
  {245, 2, 241, K::kLabel, N(52), N(50), N(210), N(15), kAnchorNone, ""},
  {246, 2, 241, K::kLabel, N(52), N(65), N(210), N(15), kAnchorNone, ""},

  // Window 3 "Einstellungen".
  {248, 3, 0, K::kImage, N(0), N(0), N(80), N(520), kAnchorNone, ""},
  {247, 3, 0, K::kImage, N(80), N(0), N(420), N(25), kAnchorNone, ""},
  {249, 3, 0, K::kImage, N(90), N(26), N(320), N(19), kAnchorNone, ""},
  {250, 3, 0, K::kBox, N(90), N(45), N(320), N(430), kAnchorNone, ""},
  {251, 3, 250, K::kScrollArea, N(0), N(0), N(319), N(430), kAnchorNone, "", 0, {}, 450},
  {252, 3, 251, K::kCheckBox, N(10), N(10), N(280), N(20), kAnchorNone, "SystemTray Icon automatisch starten", 0,
   "Führt automatisch die SystemTray Anwendung von Velkor beim Hochfahren des Systems aus."},
  {253, 3, 251, K::kCheckBox, N(10), N(30), N(280), N(20), kAnchorNone, "Beim Schließen in Systemleiste blieben", 0,
   "Wird das Hauptfenster geschlossen bleibt Velkor weiterhin als Prozess in der Systemleise. Ein einfacher Zugriff per AltGr+Entf ist so möglich."},
  {254, 3, 251, K::kCheckBox, N(10), N(50), N(280), N(20), kAnchorNone, "Explorer automatisch wiederherstellen", 0,
   "Starten den Windows-Prozess Explorer automatisch neu, sollte er beendet werden."},
  {255, 3, 251, K::kCheckBox, N(10), N(70), N(280), N(20), kAnchorNone, "Prozesse automatisch optimieren", 0,
   "Versucht automatisch beim Start von Velkor die laufenden Prozesse in ihrem Speicherverbrauch zu optimieren"},
  {256, 3, 251, K::kCheckBox, N(10), N(90), N(280), N(20), kAnchorNone, "Hauptfenster immer im Vordergrund", 0,
   "Platziert das Fenster von Velkor so, dass es sich immer im Vordergrund befindet"},
  {257, 3, 251, K::kCheckBox, N(10), N(110), N(280), N(20), kAnchorNone, "Fenstertitel von Prozessen ermitteln", 0,
   "Versucht automatisch den Titel des Hauptfensters des Prozesses herauszufinden"},
  {258, 3, 251, K::kCheckBox, N(10), N(130), N(280), N(20), kAnchorNone, "Diagram der CPU-Last einzelner Prozesse", 0,
   "Zeigt ein grafisches Diagram der einzelnen Prozesse in der Statusleiste an. Eine Deaktivierung kann die Geschwindigkeit erhöhen."},
  {259, 3, 251, K::kCheckBox, N(10), N(150), N(280), N(20), kAnchorNone, "Zeige Komma statt Punkt", 0,
   "Zeigt bei Nachkommastellen ein \",\" an, statt einem \".\""},
  {260, 3, 251, K::kCheckBox, N(10), N(170), N(280), N(20), kAnchorNone, "Prozent darstellen bei keiner CPU-Last", 0,
   "Zeigt \"0,0%\" an, wenn ein Prozess momentan keine CPU-Last besitzt."},
  // The two frames side by side share the page's width so that the longer
  // caption, "Überwachung aktualis.", fits between its frame's edges.
  {261, 3, 251, K::kGroup, N(10), N(200), N(134), N(55), kAnchorNone, "Listen aktualisieren"},
  {262, 3, 251, K::kLabel, N(16), N(223), N(70), N(15), kAnchorNone, "Millisekunden:", kCaption},
  {263, 3, 251, K::kNumberEdit, N(92), N(220), N(46), N(20), kAnchorNone, "", kAfterCaption,
   "Dauer in Millisekunden nach der die Listen für Prozesse, Fenster usw. aktualisiert wird (Standard: 2500)", 5},
  {264, 3, 251, K::kGroup, N(148), N(200), N(142), N(55), kAnchorNone, "Überwachung aktualis."},
  {265, 3, 251, K::kLabel, N(154), N(223), N(70), N(15), kAnchorNone, "Millisekunden:", kCaption},
  {266, 3, 251, K::kNumberEdit, N(238), N(220), N(46), N(20), kAnchorNone, "", kAfterCaption,
   "Dauer in Millisekunden nach der das Panel Überwachung aktualisiert wird (Standard: 750)", 5},
  {267, 3, 251, K::kGroup, N(10), N(265), N(280), N(55), kAnchorNone, "Prozesse beenden"},
  {268, 3, 251, K::kLabel, N(20), N(288), N(110), N(15), kAnchorNone, "Exitcode:", kCaption},
  {269, 3, 251, K::kSpinEdit, N(140), N(285), N(60), N(20), kAnchorNone, "", kAfterCaption,
   "Gewünschter Exitcode, der an den Prozess gesendet wird, während dem Beenden", 14080},
  {270, 3, 251, K::kButton, N(210), N(285), N(70), N(20), kAnchorNone, "Standard"},
  {271, 3, 251, K::kGroup, N(10), N(330), N(280), N(112), kAnchorNone, "Prozess/Treiber im Internet suchen"},
  {272, 3, 251, K::kLabel, N(20), N(353), N(40), N(15), kAnchorNone, "URL:", kCaption},
  {273, 3, 251, K::kEdit, N(60), N(350), N(140), N(20), kAnchorNone, "", kAfterCaption,
   "Gewünschte URL, die beim Suchen im Browser aufgerufen wird"},
  {274, 3, 251, K::kButton, N(210), N(350), N(70), N(20), kAnchorNone, "Standard"},
  {275, 3, 251, K::kLabel, N(20), N(375), N(260), N(65), kAnchorNone,
   "Hinweis:\r\nDer Platzhalter muss im Eingabefeld als [SEARCH] gekennzeichnet werden und wird bei der Suche automatisch durch das gewählte Suchobjekt ersetzt."},
  {276, 3, 0, K::kBox, N(90), N(45), N(300), N(430), kAnchorNone, "", kHidden},
  {277, 3, 276, K::kGroup, N(10), N(10), N(280), N(290), kAnchorNone, "Spalten anzeigen (Prozesse)"},
  {278, 3, 276, K::kCheckBox, N(20), N(30),  N(260), N(20), kAnchorNone, "Fenstertitel"},
  {279, 3, 276, K::kCheckBox, N(20), N(50),  N(260), N(20), kAnchorNone, "CPU-Last"},
  {280, 3, 276, K::kCheckBox, N(20), N(70),  N(260), N(20), kAnchorNone, "Prozess-ID"},
  {281, 3, 276, K::kCheckBox, N(20), N(90),  N(260), N(20), kAnchorNone, "Priorität"},
  {282, 3, 276, K::kCheckBox, N(20), N(110), N(260), N(20), kAnchorNone, "Speicherauslastung"},
  {283, 3, 276, K::kCheckBox, N(20), N(130), N(260), N(20), kAnchorNone, "Virtueller Speicher"},
  {284, 3, 276, K::kCheckBox, N(20), N(150), N(260), N(20), kAnchorNone, "Pool (ausgelagert)"},
  {285, 3, 276, K::kCheckBox, N(20), N(170), N(260), N(20), kAnchorNone, "Pool (nicht ausgelagert)"},
  {286, 3, 276, K::kCheckBox, N(20), N(190), N(260), N(20), kAnchorNone, "Laufzeit"},
  {287, 3, 276, K::kCheckBox, N(20), N(210), N(260), N(20), kAnchorNone, "CPU-Zeit"},
  {288, 3, 276, K::kCheckBox, N(20), N(230), N(260), N(20), kAnchorNone, "Dateiattribute"},
  {289, 3, 276, K::kCheckBox, N(20), N(250), N(260), N(20), kAnchorNone, "Dateigröße"},
  {290, 3, 276, K::kCheckBox, N(20), N(270), N(260), N(20), kAnchorNone, "Pfad"},
  {291, 3, 0, K::kDefaultButton, N(180), N(485), N(100), N(25), kAnchorNone, "OK"},
  {292, 3, 0, K::kButton, N(290), N(485), N(100), N(25), kAnchorNone, "Abbrechen"},

  // Window 4 "Information": the two pages and their buttons.
  {300, 4, 0, K::kPanel, N(0), N(0), N(280), N(290), kAnchorNone, ""},
  {301, 4, 300, K::kImage, N(0), N(0), N(420), N(25), kAnchorNone, ""},
  {302, 4, 300, K::kImage, N(12), N(20), N(56), N(56), kAnchorNone, ""},
  {303, 4, 300, K::kLabel, N(80), N(26), N(180), N(24), kAnchorNone, "Velkor", kBigFont},
  {304, 4, 300, K::kLabel, N(80), N(50), N(180), N(15), kAnchorNone, "Version " VELKOR_VERSION ", © 2026"},
  {305, 4, 300, K::kLabel, N(80), N(65), N(180), N(15), kAnchorNone, "Velkor-Team"},
  {306, 4, 300, K::kLabel, N(80), N(90), N(50), N(15), kAnchorNone, "E-Mail: ", kCaption},
  {307, 4, 300, K::kLink, N(130), N(90), N(130), N(15), kAnchorNone, "velkor@example.org", kAfterCaption},
  {308, 4, 300, K::kLabel, N(80), N(105), N(50), N(15), kAnchorNone, "Internet:", kCaption},
  {309, 4, 300, K::kLink, N(130), N(105), N(130), N(15), kAnchorNone, "", kAfterCaption},
  {310, 4, 300, K::kLabel, N(80), N(135), N(180), N(15), kAnchorNone, "Herkunft der Icons:"},
  {313, 4, 300, K::kLabel, N(80), N(155), N(50), N(15), kAnchorNone, "Logo:", kCaption},
  {312, 4, 300, K::kLink, N(130), N(155), N(130), N(15), kAnchorNone, "velkor.example/icons", kAfterCaption},
  {311, 4, 300, K::kLabel, N(80), N(170), N(50), N(15), kAnchorNone, "Sonstige:", kCaption},
  {314, 4, 300, K::kLink, N(130), N(170), N(130), N(15), kAnchorNone, "velkor.example/team", kAfterCaption},
  {315, 4, 300, K::kLabel, N(20), N(200), N(240), N(40), kAnchorNone, "", kRedText},
  {316, 4, 300, K::kDefaultButton, N(40), N(250), N(80), N(24), kAnchorNone, "Schließen"},
  {317, 4, 300, K::kButton, N(160), N(250), N(80), N(24), kAnchorNone, "Disclaimer"},
  {318, 4, 0, K::kPanel, N(0), N(0), N(420), N(290), kAnchorNone, "", kHidden},
  {319, 4, 318, K::kImage, N(0), N(0), N(420), N(25), kAnchorNone, ""},
  {320, 4, 318, K::kBox, N(10), N(10), N(400), N(225), kAnchorNone, ""},
  // The licence terms are set when the windows are built.
  {321, 4, 320, K::kMultiLineReadOnly, N(0), N(0), N(398), N(223), kAnchorNone, ""},
  {322, 4, 318, K::kDefaultButton, N(120), N(250), N(80), N(24), kAnchorNone, "Schließen"},
  {323, 4, 318, K::kButton, N(240), N(250), N(80), N(24), kAnchorNone, "Information"},

  // Window 5: the transparency scale.
  {324, 5, 0, K::kImage, N(0), N(0), N(300), N(20), kAnchorNone, ""},

  // Window 6 "Prozessinformationen": the tab strip over one list per page,
  // the load graph above the "Leistung" list, the buttons of "Allgemein".
  {330, 6, 0, K::kTabs, N(5), N(5), FromW(-10), FromH(-10), kAllEdges, ""},
  {331, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-82), kAllEdges, "", kHidden},
  {332, 6, 0, K::kList, N(12), N(124), FromW(-24), FromH(-136), kAllEdges, "", kHidden},
  {333, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-46), kAllEdges, "", kHidden},
  {334, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-46), kAllEdges, "", kHidden},
  {335, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-46), kAllEdges, "", kHidden},
  {336, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-46), kAllEdges, "", kHidden},
  {337, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-46), kAllEdges, "", kHidden},
  {338, 6, 0, K::kList, N(12), N(34), FromW(-24), FromH(-46), kAllEdges, "", kHidden},
  {339, 6, 0, K::kButton, N(12), FromH(-42), N(110), N(26), kLB, "Ordner öffnen", kHidden},
  {340, 6, 0, K::kButton, N(132), FromH(-42), N(110), N(26), kLB, "Beenden", kHidden},
  {341, 6, 0, K::kSunkenImage, N(12), N(34), FromW(-24), N(82), kLTR, "", kHidden},
};

constexpr ColumnSpec kColumns[] = {
  {139, "Prozess", 200, false},
  {139, "Fenstertitel", 150, false},
  {139, "CPU-Last", 60, true},
  {139, "PID", 45, true},
  {139, "Priorität", 60, false},
  {139, "Speicherauslastung", 110, true},
  {139, "Virtueller Speicher", 100, true},
  {139, "Pool (ausgelagert)", 100, true},
  {139, "Pool (nicht ausgelagert)", 100, true},
  {139, "Laufzeit", 60, true},
  {139, "CPU-Zeit", 60, true},
  {139, "Dateiattribute", 100, false},
  {139, "Dateigröße", 100, true},
  {139, "Pfad", 200, false},
  {139, "Image", 0, false},
  {139, "Kernelzeit", 0, false},
  {139, "Userzeit", 0, false},
  {139, "Aktualisierungszeit", 0, false},
  {147, "Fenstertitel", 200, false},
  {147, "Handle", 60, true},
  {147, "Prozess", 80, false},
  {147, "PID", 40, true},
  {147, "Position", 80, false},
  {147, "Größe", 80, false},
  {147, "Versteckt", 60, false},
  {147, "Status", 60, false},
  {147, "Immer im Vordergrund", 125, false},
  {152, "Dienstname", 150, false},
  {152, "Typ", 150, false},
  {152, "Status", 70, false},
  {152, "Beschreibung", 400, false},
  {154, "Treibername", 250, false},
  {154, "Pfad", 355, false},
  {161, "Netzwerkadapter", 125, false},
  {161, "Typ", 70, false},
  {161, "<-", 65, false},
  {161, "->", 65, false},
  {161, "Maximal", 65, false},
  {331, "Eigenschaft", 150, false},
  {331, "Wert", 360, false},
  {332, "Eigenschaft", 150, false},
  {332, "Wert", 360, false},
  {333, "TID", 60, true},
  {333, "Startadresse", 220, false},
  {333, "Priorität", 60, true},
  {333, "CPU-Zeit", 70, true},
  {333, "Status", 90, false},
  {334, "Modul", 120, false},
  {334, "Basisadresse", 140, false},
  {334, "Größe", 80, true},
  {334, "Pfad", 250, false},
  {334, "Beschreibung", 200, false},
  {335, "Variable", 160, false},
  {335, "Wert", 350, false},
  {336, "Protokoll", 70, false},
  {336, "Lokale Adresse", 170, false},
  {336, "Remoteadresse", 170, false},
  {336, "Status", 110, false},
  {337, "Handle", 80, false},
  {337, "Fenstertitel", 230, false},
  {337, "Klasse", 130, false},
  {337, "Sichtbar", 60, false},
  {338, "Dienstname", 130, false},
  {338, "Anzeigename", 260, false},
  {338, "Status", 100, false},
};

constexpr WindowSpec kWindows[] = {
  {0, "Velkor", 640, 500, true, false, false, false},
  {1, "Ausführen", 360, 135, true, true, false, false},
  {2, "Diagramm", 300, 425, true, true, false, false},
  {3, "Einstellungen", 420, 520, true, true, false, false},
  {4, "Information", 280, 290, false, true, false, true},
  {5, "ZovuZevuvuv", 300, 20, false, false, true, false},
  {6, "Prozessinformationen", 560, 440, true, true, false, false},
};
// clang-format on

}  // namespace

std::span<const ControlSpec> ControlTable() { return kControls; }
std::span<const ColumnSpec> ColumnTable() { return kColumns; }
std::span<const WindowSpec> WindowTable() { return kWindows; }

const ControlSpec* FindControlSpec(int id) {
  for (const ControlSpec& def : kControls)
    if (def.id == id) return &def;
  return nullptr;
}

Rect AnchoredRect(const Rect& atCreation, uint8_t anchors, Size created, Size now) {
  const int dw = now.w - created.w;
  const int dh = now.h - created.h;
  Rect r = atCreation;
  if ((anchors & kLeft) && (anchors & kRight))
    r.w += dw;
  else if (anchors & kRight)
    r.x += dw;
  if ((anchors & kTop) && (anchors & kBottom))
    r.h += dh;
  else if (anchors & kBottom)
    r.y += dh;
  r.w = std::max(r.w, 0);
  r.h = std::max(r.h, 0);
  return r;
}

Size EnforceMinimumSize(Size requested) {
  return {std::max(requested.w, kMinimumOuterWidth), std::max(requested.h, kMinimumOuterHeight)};
}

// The right edge of each view's tab on the tab strip picture.
constexpr std::array<int, 6> kTabRightEdges = {84, 140, 195, 247, 313, 398};

std::span<const int> TabRightEdges() { return kTabRightEdges; }

std::optional<int> TabAtX(int x) {
  for (int view = 0; view < 6; ++view)
    if (x <= kTabRightEdges[static_cast<size_t>(view)]) return view;
  return std::nullopt;
}

bool UseStoredPosition(int x, int y) { return x != -1 && y != -1; }

bool TitleBarReachable(const Rect& outer, int captionHeight, std::span<const Rect> workAreas) {
  constexpr int64_t kGrip = 40;
  const int64_t left = outer.x, right = int64_t{outer.x} + std::max(outer.w, 0);
  const int64_t top = outer.y, bottom = int64_t{outer.y} + std::max(captionHeight, 1);
  const int64_t needWidth = std::min<int64_t>(kGrip, right - left);
  const int64_t needHeight = (bottom - top + 1) / 2;
  for (const Rect& area : workAreas) {
    const int64_t width = std::min(right, int64_t{area.x} + area.w) - std::max(left, int64_t{area.x});
    const int64_t height = std::min(bottom, int64_t{area.y} + area.h) - std::max(top, int64_t{area.y});
    if (width >= needWidth && width > 0 && height >= needHeight) return true;
  }
  return false;
}

Rect MainWindowStartRect(int storedX, int storedY, Size storedOuter, int captionHeight, Size screen,
                         std::span<const Rect> workAreas) {
  const Size size = EnforceMinimumSize(storedOuter);
  const Rect stored{storedX, storedY, size.w, size.h};
  if (UseStoredPosition(storedX, storedY) && TitleBarReachable(stored, captionHeight, workAreas)) return stored;
  // A size beyond the screen is cut down by the system once the window is
  // placed; centred for its full size, it would end up with its title bar
  // far above the screen.
  return {(screen.w - std::min(size.w, screen.w)) / 2, (screen.h - std::min(size.h, screen.h)) / 2, size.w, size.h};
}

Rect FitToWorkArea(const Rect& start, const Rect& workArea, Size minimum) {
  Rect fitted = start;
  if (start.w > workArea.w) {
    fitted.w = std::max(workArea.w, minimum.w);
    fitted.x = workArea.x;
  }
  if (start.h > workArea.h) {
    fitted.h = std::max(workArea.h, minimum.h);
    fitted.y = workArea.y;
  }
  return fitted;
}

Rect BesideWindow(const Rect& main, Size size, const Rect& workArea) {
  const int areaRight = workArea.x + workArea.w, areaBottom = workArea.y + workArea.h;
  const int rightRoom = areaRight - (main.x + main.w), leftRoom = main.x - workArea.x;
  int x = main.x + main.w;
  if (rightRoom < size.w && (leftRoom >= size.w || leftRoom > rightRoom)) x = main.x - size.w;
  x = std::max(std::min(x, areaRight - size.w), workArea.x);
  const int y = std::max(std::min(main.y, areaBottom - size.h), workArea.y);
  return {x, y, size.w, size.h};
}

}  // namespace velkor
