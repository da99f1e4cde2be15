#include "shell/power.h"

#include <htmlhelp.h>

#include "shell/menu_draw.h"
#include "gfx/image_names.h"
#include "win/message_box.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

PowerSystemCalls& Calls() {
  static PowerSystemCalls calls;
  return calls;
}

bool RequestExit(UINT flags) {
  if (Calls().exitWindows) return Calls().exitWindows(flags);
  return ExitWindowsEx(flags, 0) != 0;
}

// Standby and hibernation go through SetSuspendState where "PowrProf.dll"
// has it: SetSystemPowerState is gone from the systems since Vista.
bool Suspend(bool hibernate) {
  if (Calls().suspend) return Calls().suspend(hibernate);
  if (auto setSuspendState = win::Power().setSuspendState)
    return setSuspendState(hibernate ? TRUE : FALSE, FALSE, FALSE) != 0;
  return SetSystemPowerState(hibernate ? FALSE : TRUE, FALSE) != 0;
}

bool LockSession() {
  if (Calls().lockWorkStation) return Calls().lockWorkStation();
  return LockWorkStation() != 0;
}

void Tell(HWND owner, const char* text, UINT icon) { win::ShowMessageBox(owner, text, "Hinweis", MB_OK | icon); }

}  // namespace

const std::string& PowerUserName() {
  static const std::string name = [] {
    char buffer[512] = {};
    DWORD size = sizeof buffer;
    return GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
  }();
  return name;
}

PowerPolicy ReadPowerPolicy() {
  const win::PowerFunctions& power = win::Power();
  auto allowed = [](win::PowerFunctions::Allowed function) { return function && function() != 0; };
  PowerPolicy policy;
  policy.shutdownAllowed = allowed(power.isPwrShutdownAllowed);
  policy.hibernateAllowed = allowed(power.isPwrHibernateAllowed);
  policy.suspendAllowed = allowed(power.isPwrSuspendAllowed);
  return policy;
}

void ApplyPowerPolicy(HMENU menu, int firstId, const PowerPolicy& policy) {
  for (int i = 0; i < kPowerCommandCount; ++i) {
    const bool enabled = PowerCommandState(static_cast<PowerCommand>(i), policy).enabled;
    EnableMenuItem(menu, static_cast<UINT>(firstId + i), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
}

PowerPolicy BuildPowerMenu(HMENU menu, int firstId) {
  struct Item {
    const char* caption;
    const char* icon;
  };
  const std::string logOff = PowerUserName() + " abmelden";
  const Item items[kPowerCommandCount] = {
      {"Ausschalten", images::kMenuPowerOff},
      {"Neu starten", images::kMenuRestart},
      {"Standby", images::kMenuStandby},
      {"Ruhezustand", images::kMenuHibernate},
      {logOff.c_str(), nullptr},
      {"Sperren / Benutzer wechseln", nullptr},
  };
  for (int i = 0; i < kPowerCommandCount; ++i) {
    const auto id = static_cast<UINT>(firstId + i);
    AppendMenuA(menu, MF_STRING, id, items[i].caption);
    MakeOwnerDrawn(menu, id, items[i].icon, MF_BYCOMMAND, items[i].caption, false);
  }
  const PowerPolicy policy = ReadPowerPolicy();
  ApplyPowerPolicy(menu, firstId, policy);
  return policy;
}

std::optional<PowerCommand> PowerCommandFor(int id, int firstId) {
  if (id < firstId || id >= firstId + kPowerCommandCount) return std::nullopt;
  return static_cast<PowerCommand>(id - firstId);
}

void RunPowerCommand(PowerCommand command, HWND owner) {
  VELKOR_PLACE(kProceduresUnit);
  switch (command) {
    case PowerCommand::kPowerOff:
      if (!RequestExit(EWX_POWEROFF)) Tell(owner, "Das System konnte nicht heruntergefahren werden!", MB_ICONQUESTION);
      break;
    case PowerCommand::kRestart:
      if (!RequestExit(EWX_REBOOT)) Tell(owner, "Das System konnte nicht neu gestartet werden!", MB_ICONQUESTION);
      break;
    case PowerCommand::kStandby: Suspend(false); break;
    case PowerCommand::kHibernate: Suspend(true); break;
    case PowerCommand::kLogOff:
      if (!RequestExit(EWX_LOGOFF)) Tell(owner, "Das System konnte nicht gesperrt werden!", MB_ICONQUESTION);
      break;
    case PowerCommand::kLock: LockSession(); break;
  }
}

HWND OpenHelpFile(HWND owner) {
  VELKOR_PLACE(kProceduresUnit);
  HWND help = nullptr;
  if (auto htmlHelp = win::HelpViewer()) help = htmlHelp(nullptr, "velkor.chm", HH_DISPLAY_TOPIC, 0);
  if (!help) Tell(owner, "Die Hilfedatei konnte nicht gefunden bzw. geöffnet werden!", MB_ICONEXCLAMATION);
  return help;
}

void CloseHelpFile() {
  if (auto htmlHelp = win::HelpViewer()) htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

void SetPowerSystemCalls(PowerSystemCalls calls) { Calls() = std::move(calls); }

}  // namespace velkor
