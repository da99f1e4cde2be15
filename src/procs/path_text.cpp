#include "procs/path_text.h"

namespace velkor {

namespace {

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  const size_t separator = LastSeparator(path);
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view FolderOf(std::string_view path) {
  const size_t separator = LastSeparator(path);
  return separator == std::string_view::npos ? std::string_view{} : path.substr(0, separator + 1);
}

std::string_view FolderNameOf(std::string_view path) {
  const std::string_view folder = FolderOf(path);
  const bool root = folder.size() == 1 || (folder.size() == 3 && folder[1] == ':');
  return root || folder.empty() ? folder : folder.substr(0, folder.size() - 1);
}

}  // namespace velkor
