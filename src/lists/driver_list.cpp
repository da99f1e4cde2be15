#include "lists/driver_list.h"

namespace velkor {

std::string NormaliseDriverPath(std::string_view fileName, std::string_view windowsFolder) {
  struct Rule {
    std::string_view prefix;
    bool windowsFolder;
  };
  static constexpr Rule kRules[] = {{"\\??\\", false}, {"\\SystemRoot\\", true}, {"\\WINDOWS\\", true}};
  for (const Rule& rule : kRules) {
    if (!fileName.starts_with(rule.prefix)) continue;
    const std::string_view rest = fileName.substr(rule.prefix.size());
    if (!rule.windowsFolder) return std::string(rest);
    return std::string(windowsFolder) + "\\" + std::string(rest);
  }
  return std::string(fileName);
}

std::string DriverFolderFailedMessage(std::string_view path) {
  return "Das Verzeichnis von \"" + std::string(path) + "\" konnte nicht ermittelt werden!";
}

}  // namespace velkor
