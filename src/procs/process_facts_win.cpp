#include "procs/process_facts_win.h"

#include <shellapi.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>

#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "procs/file_version_info_win.h"
#include "procs/list_icons_win.h"
#include "procs/path_text.h"
#include "procs/process_cpu_win.h"
#include "procs/process_library.h"
#include "win/unique_handle.h"
#include "win/wide_text.h"
#include "win/windows_folder.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// What cannot change while an executable stays the same file.
struct PathEntry {
  uint64_t checkedIn = 0;  // the refresh that last read the file's attributes
  std::optional<uint32_t> attributes;
  bool exists = false;
  uint64_t size = 0;
  uint64_t lastWrite = 0;
  std::string description;
  int64_t fileSize = -1;
  int icon = -1;
};

// What cannot change while a process runs, by PID and creation time, read
// when it appears: its path, name and file facts. The process stays open
// while it is listed, so its PID cannot be reused while we hold it; every
// figure that changes comes from the snapshot, and the priority class is
// asked again only when the snapshot's base priority moved. A process that
// could not be opened (fully) is tried again as RetryFullAccess says.
struct KnownProcess {
  int64_t createTime = 0;
  win::UniqueKernelHandle handle;
  bool tried = false;
  bool fullAccess = false;       // opened for query and memory reading, not just limited query
  uint64_t privilegesAtTry = 0;  // PrivilegesGained at the last try for full access
  uint64_t triedInRefresh = 0;
  std::string name;
  std::string path;
  bool pathKnown = false;
  bool fileKnown = false;  // the file facts below belong to `path`
  std::optional<uint32_t> attributes;
  std::string description;
  int64_t fileSize = -1;
  int icon = -1;
  std::optional<int64_t> startDate;
  std::optional<int32_t> classAtBase;  // the base priority when priorityClass was read
  uint32_t priorityClass = 0;
};

struct FactsCache {
  HIMAGELIST images = nullptr;  // owned by the list view
  int serviceHostIcon = -1;
  int genericIcon = -1;
  std::unordered_map<std::string, PathEntry> paths;
  std::unordered_map<uint32_t, KnownProcess> processes;
  uint64_t refreshCount = 0;
};
FactsCache cache;

int AddIcon(HICON icon) { return icon && cache.images ? ImageList_ReplaceIcon(cache.images, -1, icon) : -1; }

// The size of the list's icons: the small-icon size at the list's DPI.
int IconSize() {
  int width = 16, height = 16;
  if (cache.images) ImageList_GetIconSize(cache.images, &width, &height);
  return width;
}

int GenericIcon() {
  if (cache.genericIcon < 0) {
    cache.genericIcon = AddIcon(ExtractSmallIcon("shell32.dll", 2, IconSize()).get());
  }
  return cache.genericIcon;
}

int IconOf(const std::string& path) {
  if (FileNameOf(path) == "svchost.exe") {
    if (cache.serviceHostIcon < 0) {
      const int size = IconSize();
      if (win::UniqueIcon icon = SmallPictureIcon(images::kListServiceHost, SmallIconDpi(size), size))
        cache.serviceHostIcon = AddIcon(icon.get());
    }
    return cache.serviceHostIcon;
  }
  if (!path.empty()) {
    if (win::UniqueIcon icon = ExtractSmallIcon(path.c_str(), 0, IconSize())) return AddIcon(icon.get());
  }
  return GenericIcon();
}

// The file facts of one executable: attributes at every call, the rest
// from the cache while the file's size and time stay the same.
const PathEntry& FileFacts(const std::string& path, std::optional<uint32_t>& attributes) {
  if (auto known = cache.paths.find(path);
      known != cache.paths.end() && known->second.checkedIn == cache.refreshCount) {
    attributes = known->second.attributes;  // several processes of one program
    return known->second;
  }
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const bool exists = !path.empty() && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  if (!path.empty()) attributes = exists ? data.dwFileAttributes : kInvalidAttributes;
  const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  const uint64_t lastWrite =
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  auto [entry, added] = cache.paths.try_emplace(path);
  PathEntry& facts = entry->second;
  facts.checkedIn = cache.refreshCount;
  facts.attributes = attributes;
  if (added || facts.exists != exists || facts.size != size || facts.lastWrite != lastWrite || facts.icon < 0) {
    facts.exists = exists;
    facts.size = size;
    facts.lastWrite = lastWrite;
    facts.description = path.empty() ? std::string() : FileVersionText(path, 0x2, true);
    facts.fileSize = (exists && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ? static_cast<int64_t>(size) : -1;
    facts.icon = IconOf(path);
  }
  return facts;
}

std::string ImagePath(HANDLE process) {
  char buffer[MAX_PATH * 4];
  DWORD size = sizeof buffer;
  if (!QueryFullProcessImageNameA(process, 0, buffer, &size)) return {};
  return std::string(buffer, std::min<size_t>(size, sizeof buffer));
}

// Opens a process not yet open, or again for full rights where only limited
// ones were granted, at its first sight and then as RetryFullAccess says.
// What the handle tells is read again once it was gained.
void OpenKnownProcess(KnownProcess& entry, uint32_t pid) {
  if (entry.fullAccess || (entry.tried && !RetryFullAccess(entry.privilegesAtTry, PrivilegesGained(),
                                                           entry.triedInRefresh, cache.refreshCount)))
    return;
  win::UniqueKernelHandle full(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!full && !entry.handle) entry.handle.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  entry.tried = true;
  entry.privilegesAtTry = PrivilegesGained();
  entry.triedInRefresh = cache.refreshCount;
  if (full) {
    entry.handle = std::move(full);
    entry.fullAccess = true;
    entry.pathKnown = false;
    entry.classAtBase.reset();
  }
}

// What a process opened at least for limited query tells of itself.
void ReadImage(KnownProcess& entry, HANDLE process, std::wstring_view imageName) {
  entry.name = win::NarrowText(imageName);
  entry.path = NormaliseProcessPath(TrimBlanks(ImagePath(process)), win::WindowsFolder());
  entry.pathKnown = true;
  entry.fileKnown = false;
  entry.attributes.reset();
}

// The figures of a process that the snapshot carries; the CPU sample counts
// only where the process can be queried.
ProcessFacts SnapshotFacts(const SnapshotEntry& record, DWORD timerMs) {
  ProcessFacts facts;
  facts.pid = record.pid;
  facts.parentPid = record.parentPid;
  facts.workingSet = record.workingSet;
  facts.pageFile = record.pageFile;
  facts.pagedPool = record.pagedPool;
  facts.nonPagedPool = record.nonPagedPool;
  facts.virtualSize = record.virtualSize;
  facts.cpu.userMs = static_cast<int64_t>(FileTimeToMilliseconds(record.userTime));
  facts.cpu.kernelMs = static_cast<int64_t>(FileTimeToMilliseconds(record.kernelTime));
  facts.cpu.timerMs = timerMs;
  return facts;
}

int64_t StartDateOf(const SnapshotEntry& record) {
  FILETIME created{};
  created.dwLowDateTime = record.createTime.LowPart;
  created.dwHighDateTime = static_cast<DWORD>(record.createTime.HighPart);
  return FileTimeToDate(created);
}

}  // namespace

void ResetProcessFacts(HIMAGELIST images) {
  cache = FactsCache{};
  cache.images = images;
}

win::UniqueImageList TakeProcessIconsAtDpi(int dpi) {
  const int size = SmallIconSizeAtDpi(dpi);
  win::UniqueImageList fresh(CreateSmallImageListAtDpi(dpi, 64, 64));
  if (!fresh || !cache.images) return fresh;
  // Where each icon of the old list came from: a file, the generic program
  // icon or the service host picture.
  std::map<int, std::string> sources;
  for (const auto& [path, entry] : cache.paths)
    if (entry.icon >= 0 && entry.icon != cache.genericIcon && entry.icon != cache.serviceHostIcon)
      sources.emplace(entry.icon, path);
  const int count = ImageList_GetImageCount(cache.images);
  win::UniqueIcon generic = ExtractSmallIcon("shell32.dll", 2, size);
  // The rows keep their icon numbers: every icon is taken again at the new
  // size into the same place, the generic one where a file gives none.
  for (int index = 0; index < count; ++index) {
    win::UniqueIcon icon;
    if (index == cache.serviceHostIcon)
      icon = SmallPictureIcon(images::kListServiceHost, dpi, size);
    else if (auto source = sources.find(index); source != sources.end() && !source->second.empty())
      icon = ExtractSmallIcon(source->second.c_str(), 0, size);
    if (ImageList_ReplaceIcon(fresh.get(), -1, icon ? icon.get() : generic.get()) != index) return {};
  }
  cache.images = fresh.get();
  return fresh;
}

std::vector<ProcessFacts> GatherProcessFacts(const std::vector<SnapshotEntry>& snapshot, bool needDates,
                                             DWORD timerMs) {
  VELKOR_PLACE(kProceduresUnit);
  std::vector<ProcessFacts> gathered;
  gathered.reserve(snapshot.size());
  ++cache.refreshCount;
  std::unordered_map<uint32_t, KnownProcess> known;
  known.reserve(cache.processes.size() + 16);
  for (const SnapshotEntry& record : snapshot) {
    ProcessFacts facts = SnapshotFacts(record, timerMs);
    if (facts.pid != 0) {
      KnownProcess entry;
      if (auto old = cache.processes.find(facts.pid);
          old != cache.processes.end() && old->second.createTime == record.createTime.QuadPart)
        entry = std::move(old->second);
      entry.createTime = record.createTime.QuadPart;
      OpenKnownProcess(entry, facts.pid);
      const HANDLE process = entry.handle.get();
      if (process && !entry.pathKnown) ReadImage(entry, process, record.imageName);
      if (process) {
        // The name is only known for a process that can be opened at all.
        facts.name = entry.name;
        facts.path = entry.path;
      }
      if (process && entry.fullAccess) {
        facts.queryable = true;
        if (entry.classAtBase != record.basePriority || entry.priorityClass == 0) {
          entry.priorityClass = GetPriorityClass(process);
          entry.classAtBase = record.basePriority;
        }
        facts.priorityClass = entry.priorityClass;
        if (needDates) {
          if (!entry.startDate) entry.startDate = StartDateOf(record);
          facts.startDate = *entry.startDate;
        }
      } else {
        facts.cpu = {};
      }
      if (!entry.fileKnown) {
        const PathEntry& file = FileFacts(entry.path, entry.attributes);
        entry.description = file.description;
        entry.fileSize = file.fileSize;
        entry.icon = file.icon;
        entry.fileKnown = true;
      }
      facts.attributes = entry.attributes;
      facts.description = entry.description;
      facts.fileSize = entry.fileSize;
      facts.icon = entry.icon;
      known[facts.pid] = std::move(entry);
    }
    gathered.push_back(std::move(facts));
  }
  cache.processes = std::move(known);
  return gathered;
}

std::vector<ProcessFacts> ReadProcessFactsDirectly(const std::vector<SnapshotEntry>& snapshot, bool needDates,
                                                   DWORD timerMs) {
  std::vector<ProcessFacts> gathered;
  gathered.reserve(snapshot.size());
  for (const SnapshotEntry& record : snapshot) {
    ProcessFacts facts = SnapshotFacts(record, timerMs);
    if (facts.pid != 0) {
      win::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, facts.pid));
      const bool full = static_cast<bool>(process);
      if (!full) process.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, facts.pid));
      if (process) {
        facts.name = win::NarrowText(record.imageName);
        facts.path = NormaliseProcessPath(TrimBlanks(ImagePath(process.get())), win::WindowsFolder());
      }
      if (full) {
        facts.queryable = true;
        facts.priorityClass = GetPriorityClass(process.get());
        if (needDates) facts.startDate = StartDateOf(record);
      } else {
        facts.cpu = {};
      }
      WIN32_FILE_ATTRIBUTE_DATA data{};
      const bool exists = !facts.path.empty() && GetFileAttributesExA(facts.path.c_str(), GetFileExInfoStandard, &data);
      if (!facts.path.empty()) facts.attributes = exists ? data.dwFileAttributes : kInvalidAttributes;
      if (exists && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        facts.fileSize = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
      if (!facts.path.empty()) facts.description = FileVersionText(facts.path, 0x2, true);
    }
    gathered.push_back(std::move(facts));
  }
  return gathered;
}

}  // namespace velkor
