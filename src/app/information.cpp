#include "app/information.h"

#include "app/control_ids.h"
#include "gfx/dpi_scale.h"

namespace velkor {

Rect InformationPlacement(int mainLeft, int mainTop, Size mainClient, int dpi) {
  const int width = ScaleToDpi(kAboutWidth, dpi), height = ScaleToDpi(kInformationHeight, dpi);
  return {mainLeft + mainClient.w / 2 - width / 2, mainTop + mainClient.h / 2 - height / 2, width, height};
}

Rect PlacementForPage(const Rect& current, int page, int dpi) {
  Rect placed = current;
  if (page == kDisclaimerPage) {
    placed.x -= ScaleToDpi(kPageSwitchShift, dpi);
    placed.w = ScaleToDpi(kDisclaimerWidth, dpi);
  } else {
    placed.x += ScaleToDpi(kPageSwitchShift, dpi);
    placed.w = ScaleToDpi(kAboutWidth, dpi);
  }
  return placed;
}

std::string_view LinkTarget(int id) {
  switch (id) {
    case kMailLink: return "mailto:velkor@example.org";
    case kIconsLink: return "https://velkor.example/icons/";
    case kTeamLink: return "https://velkor.example/team/";
    default: return {};
  }
}

std::string_view DisclaimerText() {
  // clang-format off
  return
    "LIZENZBEDINGUNGEN (DEUTSCH)\r\n"
    "\r\n"
    "Velkor ist Freeware. Die Nutzung ist privat wie gewerblich\r\n"
    "kostenlos und ohne zeitliche Begrenzung auf beliebig vielen Rechnern erlaubt.\r\n"
    "\r\n"
    "1. Weitergabe\r\n"
    "Das Programm darf unverändert und vollständig, mit allen\r\n"
    "zugehörigen Dateien, kostenlos weitergegeben werden. Für die\r\n"
    "Weitergabe darf kein Entgelt verlangt werden, das über die\r\n"
    "Kosten des Datenträgers oder der Übertragung hinausgeht.\r\n"
    "\r\n"
    "2. Veränderungen\r\n"
    "Es ist nicht erlaubt, das Programm zu verändern, zu zerlegen\r\n"
    "oder unter einem anderen Namen oder als Teil eines anderen Produkts zu verbreiten.\r\n"
    "\r\n"
    "3. Haftungsausschluss\r\n"
    "Velkor wird so bereitgestellt, wie es ist, ohne jede\r\n"
    "ausdrückliche oder stillschweigende Gewähr. Die Hersteller\r\n"
    "haften nicht für Schäden jeglicher Art, die aus der Nutzung\r\n"
    "oder der Unmöglichkeit der Nutzung entstehen, insbesondere\r\n"
    "nicht für Datenverlust, Systemausfälle oder beendete Prozesse\r\n"
    "und Dienste, verlorene Einstellungen oder einen Neustart des Rechners. Die Nutzung erfolgt auf eigene Gefahr.\r\n"
    "\r\n"
    "4. Datenschutz\r\n"
    "Velkor sendet keine Daten über ein Netzwerk. Gespeichert werden\r\n"
    "nur die Einstellungen, die Exporte und die Autostart-Verknüpfung,\r\n"
    "und zwar ausschließlich auf diesem Rechner.\r\n"
    "\r\n"
    "5. Schlussbestimmung\r\n"
    "Sollte eine dieser Bestimmungen unwirksam sein, bleiben die\r\n"
    "übrigen davon unberührt. Mit der Nutzung von Velkor erkennen\r\n"
    "Sie diese Bedingungen vollständig an.\r\n"
    "\r\n"
    "LICENCE TERMS (ENGLISH)\r\n"
    "\r\n"
    "Velkor is freeware. You may use it free of charge, privately\r\n"
    "and commercially, for an unlimited time and on any number of computers.\r\n"
    "\r\n"
    "1. Distribution\r\n"
    "The program may be passed on free of charge, unchanged and\r\n"
    "complete with all of its files. No fee beyond the cost of the\r\n"
    "medium or of the transfer may be charged for passing it on.\r\n"
    "\r\n"
    "2. Modification\r\n"
    "You may not modify or disassemble the program, nor distribute\r\n"
    "it under another name or as part of another product.\r\n"
    "\r\n"
    "3. Disclaimer of warranty\r\n"
    "Velkor is provided as is, without any express or implied\r\n"
    "warranty. Its makers are not liable for damages of any kind\r\n"
    "arising out of the use of, or the inability to use, the program,\r\n"
    "in particular not for lost data, system failures or ended\r\n"
    "processes and services, lost settings or a restart of the computer. You use it at your own risk.\r\n"
    "\r\n"
    "4. Privacy\r\n"
    "Velkor sends no data over any network. It stores nothing but its\r\n"
    "settings, its exports and its autostart shortcut, and only on\r\n"
    "this computer.\r\n"
    "\r\n"
    "5. Final provision\r\n"
    "Should any one of these terms be invalid, the others remain in\r\n"
    "effect. By using Velkor you accept these terms in full.";
  // clang-format on
}

}  // namespace velkor
