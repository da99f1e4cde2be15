#include "shell/menu_look.h"

#include <algorithm>

namespace velkor {

MenuPlaces MenuPlacesAt(int dpi) {
  MenuPlaces places;
  places.stripWidth = ScaleToDpi(kMenuStripWidth, dpi);
  places.captionX = ScaleToDpi(kMenuCaptionX, dpi);
  places.titleCaptionX = ScaleToDpi(kMenuTitleCaptionX, dpi);
  places.captionY = ScaleToDpi(kMenuCaptionY, dpi);
  places.line = ScaleToDpi(1, dpi);
  return places;
}

MenuItemSize MeasureMenuItem(bool separator, bool title, int captionWidth, int dpi, int captionHeight) {
  if (separator) return {0, ScaleToDpi(7, dpi)};
  const MenuPlaces places = MenuPlacesAt(dpi);
  // The caption is drawn from captionY down: the item holds all of it.
  const int height = std::max(ScaleToDpi(20, dpi), places.captionY + captionHeight);
  return {title ? captionWidth : captionWidth + ScaleToDpi(32, dpi), height};
}

MenuDrawPlan PlanMenuItem(bool separator, bool highlighted, bool greyed, int id) {
  if (separator) return {MenuLook::kSeparator, -2};
  if (greyed) return {MenuLook::kDisabled, highlighted ? -2 : kNoStatusChange};
  if (highlighted) return {MenuLook::kHighlighted, id};
  return {MenuLook::kNormal, kNoStatusChange};
}

Canvas DrawMenuItem(int width, int height, MenuLook look, bool title, const Canvas* icon, int dpi) {
  const MenuPlaces places = MenuPlacesAt(dpi);
  Canvas item(width, height, kMenuWhite);
  if (look == MenuLook::kHighlighted) {
    item.Fill(kMenuHighlightFrame);
    item.FillRect(places.line, places.line, width - 2 * places.line, height - 2 * places.line, kMenuHighlightColour);
  } else if (!title) {
    item.FillRect(0, 0, places.stripWidth, height, kMenuStripColour);
  }
  if (look == MenuLook::kSeparator) {
    item.FillRect(places.captionX, (height - places.line + 1) / 2, width - places.captionX, places.line,
                  kMenuSeparatorColour);
  }
  if (icon && !title && look != MenuLook::kSeparator)
    DrawOver(item, *icon, CentredOffset(places.stripWidth, icon->width), CentredOffset(height, icon->height));
  return item;
}

Pixel MenuCaptionColour(MenuLook look) {
  return look == MenuLook::kDisabled ? kMenuGreyCaptionColour : kMenuCaptionColour;
}

namespace {

struct HelpLine {
  int id;
  const char* text;
};

constexpr HelpLine kHelpLines[] = {
    {1, "Exportiert die aktuelle Prozessliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm)."},
    {2, "Exportiert die aktuelle Fensterliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm)."},
    {3, "Exportiert die aktuelle Dienstliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm)."},
    {4, "Exportiert die aktuelle Treiberliste entweder als Textdatei (*.txt) oder als HTML-Dokument (*.htm)."},
    {20, "Zeigt das Einstellungsfenster von Velkor an, in dem Konfigurationen durchgeführt werden können."},
    {325, "Startet Velkor mit Administratorrechten neu; Windows fragt vorher nach der Erlaubnis."},
    {12, "Schließt die grafische Oberfläche von Velkor."},
    {13, "Zeigt die aktuelle Prozessliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen."},
    {14, "Zeigt die aktuelle Fensterliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen."},
    {15, "Zeigt die aktuelle Dienstliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen."},
    {16, "Zeigt die aktuelle Treiberliste im Hauptbereich an und bietet Zugriffmöglichkeiten auf Funktionen."},
    {17, "Zeigt die aktuelle Netzwerkliste im Hauptbereich an und Informationen über verfügbare Adapter."},
    {18, "Zeigt die Hardware-Überwachung im Hauptbereich an."},
    {26, "Fährt den Computer herunter, sodass er ausgeschaltet werden kann."},
    {27, "Fährt den Computer herunter und startet ihn anschließend neu."},
    {28, "Versetzt den Computer in den Standby-Zustand, aus dem er schnell wieder hochgefahren werden kann."},
    {29,
     "Versetzt den Computer in den Ruhezustand. Alle Informationen werden gespeichert und der PC wird "
     "ausgeschaltet. Beim nächsten Start wird diese Sitzung wiederhergestellt."},
    {31, "Sperrt den Computer gegen unerlaubten Zugriff oder wechselt den Benutzer."},
    {133, "Zeigt die Hilfedatei an."},
    {134, "Zeigt einige Informationen über Velkor."},
    {32, "Aktualisiert die Prozessliste."},
    {103, "Hält ausgewählte Prozesse an."},
    {104, "Setzt ausgewählte Prozesse fort."},
    {21, "Zeigt ein grafisches Diagram aller aktuellen Prozesse mit verschiedenen Sortierungen"},
    {23, "Beendet ausgewählte Prozesse sofort."},
    {25, "Zeigt detaillierte Informationen über ausgewählte Prozesse."},
    {105,
     "Ausgewählte Prozesse werden in ihrem Speicherverbrauch optimiert, sodass sie weniger Arbeitsspeicher "
     "verbrauchen."},
    {106, "Öffnet das Verzeichnis, in dem ausgewählte Prozesse sich befinden."},
    {107, "Aktualisiert die Fensterliste."},
    {108, "Deaktiviert die Fenstertransparenz."},
    {118,
     "Hält das ausgewählte Fenster zu jeder Zeit im Vordergrund, selbst wenn ein anderes Fenster den Fokus "
     "besitzt."},
    {119, "Versteckt oder zeigt das ausgewählte Fenster."},
    {123, "Schließt das ausgewählte Fenster. Es ist Anwendungsabhängig was mit dem Fenster weiter geschieht."},
    {124,
     "Zerstört das ausgewählte Fenster und entfernt es unmittelbar vom Bildschirm. Dies sollte nur im Notfall "
     "benutzt werden."},
    {125, "Springt auf die Prozessliste und wählt den Prozess an, dem das ausgewählte Fenster gehört."},
    {126, "Aktualisiert die Dienstliste."},
    {127, "Startet den ausgewählten Dienst."},
    {128, "Stoppt den ausgewählten Dienst."},
    {129, "Hält den ausgewählten Dienst an."},
    {130, "Seztz den ausgewählten Dienst fort."},
    {131, "Aktualisiert die Treiberliste."},
    {132, "Öffnet das Verzeichnis, in dem der ausgewählter Treiber sich befindet."},
};

constexpr const char* kPriorityNames[] = {"Echtzeit", "Hoch", "Erhöht", "Normal", "Erniedrigt", "Niedrig"};

}  // namespace

std::string MenuHelpText(int id, int view, std::string_view userName) {
  if (id >= 33 && id <= 38)
    return std::string("Setzt die Priorität ausgewählter Prozesse auf \"") + kPriorityNames[id - 33] + "\"";
  if (id >= 109 && id <= 117)
    return "Setzt die Fenstertransparenz auf " + std::to_string(10 * (id - 108)) +
           "%. Ein größerer Wert lässt das Fenster durchscheinender werden.";
  if (id == 30) return "Meldet den aktuellen Benutzer \"" + std::string(userName) + "\" ab.";
  if (id == 24) {
    if (view == 0) return "Sucht im Internet nach ausgewählten Prozessen. Hierfür wird der Dateiname verwendet.";
    if (view == 3) return "Sucht im Internet nach dem ausgewähltem Treiber. Hierfür wird der Dateiname verwendet.";
    return {};
  }
  for (const HelpLine& line : kHelpLines)
    if (line.id == id) return line.text;
  return {};
}

}  // namespace velkor
