#include "lists/service_list.h"

namespace velkor {

std::string ServiceStateText(uint32_t state) {
  switch (state) {
    case 2: return "Starten...";
    case 3: return "Stoppen...";
    case 4: return "Aktiv";
    case 5: return "Fortsetzen...";
    case 6: return "Anhalten...";
    case 7: return "Angehalten";
    default: return {};
  }
}

bool ServiceMenuEnabling::Enabled(int command) const {
  switch (command) {
    case kServiceStartCommand: return start;
    case kServiceStopCommand: return stop;
    case kServicePauseCommand: return pause;
    case kServiceContinueCommand: return resume;
    default: return false;
  }
}

ServiceMenuEnabling ServiceMenuFor(std::string_view stateText) {
  if (stateText == "Starten..." || stateText == "Stoppen..." || stateText == "Fortsetzen..." ||
      stateText == "Anhalten...")
    return {};
  if (stateText == "Aktiv") return {false, true, true, false};
  if (stateText == "Angehalten") return {false, true, false, true};
  return {true, false, false, false};  // stopped, or a text we never write
}

std::string ServiceCommandFailedMessage(int command, std::string_view name) {
  const char* verb = nullptr;
  switch (command) {
    case kServiceStartCommand: verb = "gestartet"; break;
    case kServiceStopCommand: verb = "gestoppt"; break;
    case kServicePauseCommand: verb = "angehalten"; break;
    case kServiceContinueCommand: verb = "fortgesetzt"; break;
    default: return {};
  }
  return "Der Dienst \"" + std::string(name) + "\" konnte nicht " + verb + " werden!";
}

std::string PendingServiceText(int command) {
  switch (command) {
    case kServiceStartCommand: return ServiceStateText(2);
    case kServiceStopCommand: return ServiceStateText(3);
    case kServicePauseCommand: return ServiceStateText(6);
    case kServiceContinueCommand: return ServiceStateText(5);
    default: return {};
  }
}

bool PendingServiceCommands::Add(const std::string& name, int command) {
  if (name.empty() || PendingServiceText(command).empty()) return false;
  return commands_.emplace(name, command).second;
}

void PendingServiceCommands::Finish(std::string_view name) {
  if (auto found = commands_.find(name); found != commands_.end()) commands_.erase(found);
}

bool PendingServiceCommands::Has(std::string_view name) const { return commands_.find(name) != commands_.end(); }

std::string PendingServiceCommands::ShownState(std::string_view name, std::string stateText) const {
  const auto found = commands_.find(name);
  return found == commands_.end() ? stateText : PendingServiceText(found->second);
}

std::string StoredDescription(std::string_view bytes, uint32_t size) {
  if (size <= 2 || size > bytes.size()) return {};
  std::string text(bytes.substr(0, size - 1));
  // A value stored without its terminator, or with embedded zeros, shows up
  // to the first zero, as any reader of the text would.
  if (const size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

bool IsIndirectString(std::string_view text) { return text.size() > 1 && text.front() == '@'; }

}  // namespace velkor
