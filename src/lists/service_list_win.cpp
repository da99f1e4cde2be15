#include "lists/service_list_win.h"

#include <commctrl.h>

#include <algorithm>
#include <condition_variable>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/image_names.h"
#include "lists/service_list.h"
#include "procs/list_icons_win.h"
#include "win/list_view.h"
#include "win/message_box.h"
#include "win/system_functions.h"
#include "win/unique_handle.h"
#include "win/source_location.h"

namespace velkor {
namespace {

using win::UniqueServiceHandle;

constexpr int kNameColumn = 0;
constexpr int kStateColumn = 2;

struct ServiceEntry {
  std::string name;
  std::string displayName;
  uint32_t state = 0;
};

struct ServiceJob {
  std::string name;
  int command = 0;
  bool done = false;  // the outcome, once the worker ran it
};

// The one thread that waits on the service manager for the commands, so
// that a service taking its time (the manager waits up to 30 s for one)
// never stops the window's thread. It sees nothing but this record: no
// window, no list, no other state of the view. The record is shared, so a
// worker still waiting when the view is destroyed ends on its own.
struct ServiceWorker {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<ServiceJob> jobs;
  std::vector<ServiceJob> outcomes;
  bool stopping = false;
  // Set while outcomes wait to be taken (manual reset: taken on the
  // window's thread).
  win::UniqueKernelHandle ended{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

int RunServiceJob(const ServiceJob& job);

void WorkOn(const std::shared_ptr<ServiceWorker>& worker) {
  std::unique_lock lock(worker->mutex);
  for (;;) {
    worker->wake.wait(lock, [&] { return worker->stopping || !worker->jobs.empty(); });
    if (worker->stopping) return;
    ServiceJob job = std::move(worker->jobs.front());
    worker->jobs.pop_front();
    lock.unlock();
    job.done = RunServiceJob(job) != 0;
    lock.lock();
    worker->outcomes.push_back(std::move(job));
    SetEvent(worker->ended.get());
  }
}

struct ServiceViewState {
  // The manager's records are copied out at once; the buffer they arrive in
  // keeps the size the last snapshot needed.
  std::vector<ServiceEntry> entries;
  std::vector<unsigned char> buffer;
  bool examined = false;
  int cursor = 0;
  // Indirect descriptions looked up so far (nothing: not resolvable), by
  // their stored text: a module's resources do not change while it is
  // installed, and resolving loads it.
  std::map<std::string, std::optional<std::string>> resolved;
  // Descriptions by service, kept until the system tells of a change under
  // the services' registry key (`changed`, armed on `servicesKey`); where it
  // cannot tell, each refresh reads them again.
  std::unordered_map<std::string, std::string> descriptions;
  bool descriptionsKept = false;
  win::UniqueRegistryKey servicesKey;
  win::UniqueKernelHandle changed;
  std::string menuService;  // the row the context menu was opened on
  PendingServiceCommands pending;
  std::shared_ptr<ServiceWorker> worker;  // started at the first command
  // Of each DPI the lists were shown at: the service and driver lists share
  // them, so a header may still show those of another scale.
  std::map<int, SortArrows> arrows;
};
ServiceViewState services;

const ServiceEntry* CurrentEntry() {
  if (services.cursor < 1 || services.cursor > static_cast<int>(services.entries.size())) return nullptr;
  return &services.entries[static_cast<size_t>(services.cursor - 1)];
}

// Opens one service with just `access`: a user without administrator
// rights may still start or stop what the service's security allows.
UniqueServiceHandle OpenServiceFor(const std::string& name, DWORD access) {
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager || name.empty()) return {};
  return UniqueServiceHandle(OpenServiceA(manager.get(), name.c_str(), access));
}

int Control(const std::string& name, DWORD access, DWORD code) {
  UniqueServiceHandle service = OpenServiceFor(name, access);
  SERVICE_STATUS status{};
  return service && ControlService(service.get(), code, &status) ? 1 : 0;
}

// The text an indirect reference names, in the program's code page; nothing
// when the system cannot resolve it.
std::optional<std::string> ResolveIndirect(HKEY key, const std::string& stored) {
  if (auto found = services.resolved.find(stored); found != services.resolved.end()) return found->second;
  using LoadMuiStringFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPWSTR, DWORD, LPDWORD, DWORD, LPCWSTR);
  static const auto load = win::BindFunction<LoadMuiStringFn>(GetModuleHandleA("advapi32.dll"), "RegLoadMUIStringW");
  wchar_t wide[1024] = {};
  DWORD size = 0;
  if (!load || load(key, L"Description", wide, sizeof wide - sizeof(wchar_t), &size, 0, nullptr) != ERROR_SUCCESS) {
    services.resolved.emplace(stored, std::nullopt);
    return std::nullopt;
  }
  const int length = static_cast<int>(wcsnlen(wide, std::size(wide)));
  std::string text(static_cast<size_t>(length) * 2, '\0');
  const int written =
      WideCharToMultiByte(1252, 0, wide, length, text.data(), static_cast<int>(text.size()), "?", nullptr);
  text.resize(static_cast<size_t>(std::max(written, 0)));
  services.resolved.emplace(stored, text);
  return text;
}

int RunServiceJob(const ServiceJob& job) {
  switch (job.command) {
    case kServiceStartCommand: return ServiceStart(job.name);
    case kServiceStopCommand: return ServiceStop(job.name);
    case kServicePauseCommand: return ServicePause(job.name);
    case kServiceContinueCommand: return ServiceContinue(job.name);
    default: return 0;
  }
}

// Hands a job to the worker, starting it the first time; false when no
// thread could be made.
bool QueueServiceJob(ServiceJob job) {
  if (!services.worker) {
    auto worker = std::make_shared<ServiceWorker>();
    if (!worker->ended) return false;
    try {
      std::thread([worker] { WorkOn(worker); }).detach();
    } catch (const std::system_error&) {
      return false;
    }
    services.worker = std::move(worker);
  }
  {
    std::lock_guard lock(services.worker->mutex);
    services.worker->jobs.push_back(std::move(job));
  }
  services.worker->wake.notify_one();
  return true;
}

void ShowPendingState(HWND list, const std::string& name) {
  const int count = ListView_GetItemCount(list);
  for (int row = 0; row < count; ++row) {
    if (win::ListViewCellText(list, row, kNameColumn) != name) continue;
    std::string text = services.pending.ShownState(name, {});
    ListView_SetItemText(list, row, kStateColumn, text.data());
    return;
  }
}

}  // namespace

void GiveListIcon(HWND list, const char* pictureName) {
  const int size = SmallIconSizeOf(list);
  int width = 0, height = 0;
  HIMAGELIST given = ListView_GetImageList(list, LVSIL_SMALL);
  if (given && ImageList_GetIconSize(given, &width, &height) && width == size) return;
  win::UniqueIcon icon = SmallPictureIcon(pictureName, win::WindowDpi(list), size);
  if (!icon) return;
  win::UniqueImageList images(CreateSmallImageList(list, 1, 0));
  if (!images) return;
  ImageList_AddIcon(images.get(), icon.get());
  // The list owns the new one; one of another scale it had goes.
  win::ReplaceListImages(list, std::move(images));
}

HBITMAP ListSortArrow(bool ascending, int dpi) {
  SortArrows& arrows = services.arrows[dpi];
  DrawSortArrowsFor(arrows, dpi);
  return ascending ? arrows.up.get() : arrows.down.get();
}

int ExamineServices() {
  services.entries.clear();
  services.cursor = 0;
  services.examined = true;
  UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  if (!manager) return 0;
  // The manager hands out what fits and a resume handle for the rest; a
  // manager that cannot resume is asked again with room for everything.
  DWORD resume = 0;
  std::vector<unsigned char>& buffer = services.buffer;
  for (int round = 0; round < 64; ++round) {
    DWORD needed = 0, returned = 0;
    const DWORD resumedAt = resume;
    auto* records = buffer.empty() ? nullptr : reinterpret_cast<ENUM_SERVICE_STATUSA*>(buffer.data());
    const BOOL done = EnumServicesStatusA(manager.get(), SERVICE_WIN32, SERVICE_STATE_ALL, records,
                                          static_cast<DWORD>(buffer.size()), &needed, &returned, &resume);
    if (!done && GetLastError() != ERROR_MORE_DATA) break;
    const bool cannotResume = !done && returned > 0 && resume == resumedAt;
    if (!cannotResume) {
      for (DWORD i = 0; i < returned; ++i) {
        const ENUM_SERVICE_STATUSA& record = records[i];
        services.entries.push_back({record.lpServiceName ? record.lpServiceName : "",
                                    record.lpDisplayName ? record.lpDisplayName : "",
                                    record.ServiceStatus.dwCurrentState});
      }
    }
    if (done) break;
    if (cannotResume) {
      services.entries.clear();
      resume = 0;
      buffer.resize(buffer.size() + needed);
    } else if (needed > buffer.size()) {
      buffer.resize(needed);
    }
  }
  return static_cast<int>(services.entries.size());
}

int NextService() {
  if (services.cursor >= static_cast<int>(services.entries.size())) return 0;
  return ++services.cursor;
}

std::string ServiceName() {
  const ServiceEntry* entry = CurrentEntry();
  return entry ? entry->name : std::string();
}

std::string ServiceDisplayName() {
  const ServiceEntry* entry = CurrentEntry();
  return entry ? entry->displayName : std::string();
}

uint32_t ServiceState() {
  const ServiceEntry* entry = CurrentEntry();
  return entry ? entry->state : 0;
}

std::string ServiceDescription(const std::string& name) {
  win::UniqueRegistryKey key;
  const std::string path = "SYSTEM\\CurrentControlSet\\Services\\" + name;
  if (name.empty() || RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
    return {};
  char buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(key.get(), "Description", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return {};
  std::string text = StoredDescription(std::string_view(buffer, sizeof buffer), size);
  if (IsIndirectString(text))
    if (std::optional<std::string> resolved = ResolveIndirect(key.get(), text)) return *resolved;
  return text;
}

namespace {

// Forgets the kept descriptions when the services' key changed since the
// last look and asks to be told of the next change, before the list reads
// them, so that no change goes unseen.
void CheckServiceDescriptions() {
  if (!services.changed) services.changed.reset(CreateEventA(nullptr, TRUE, TRUE, nullptr));
  if (!services.servicesKey)
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services", 0, KEY_NOTIFY, services.servicesKey.put());
  if (services.descriptionsKept && WaitForSingleObject(services.changed.get(), 0) == WAIT_TIMEOUT) return;
  services.descriptions.clear();
  services.descriptionsKept =
      services.changed && services.servicesKey && ResetEvent(services.changed.get()) &&
      RegNotifyChangeKeyValue(services.servicesKey.get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                              services.changed.get(), TRUE) == ERROR_SUCCESS;
}

std::string KeptServiceDescription(const std::string& name) {
  if (!services.descriptionsKept) return ServiceDescription(name);
  auto found = services.descriptions.find(name);
  if (found == services.descriptions.end()) found = services.descriptions.emplace(name, ServiceDescription(name)).first;
  return found->second;
}

}  // namespace

int ServiceStart(const std::string& name) {
  UniqueServiceHandle service = OpenServiceFor(name, SERVICE_START);
  return service && StartServiceA(service.get(), 0, nullptr) ? 1 : 0;
}

int ServiceStop(const std::string& name) { return Control(name, SERVICE_STOP, SERVICE_CONTROL_STOP); }
int ServicePause(const std::string& name) { return Control(name, SERVICE_PAUSE_CONTINUE, SERVICE_CONTROL_PAUSE); }
int ServiceContinue(const std::string& name) { return Control(name, SERVICE_PAUSE_CONTINUE, SERVICE_CONTROL_CONTINUE); }

void RefreshServiceList(HWND list) {
  VELKOR_PLACE(kProceduresUnit);
  if (!list) return;
  GiveListIcon(list, images::kListService);
  win::ListRefill refill(list);
  ExamineServices();
  CheckServiceDescriptions();
  while (NextService()) {
    const std::string name = ServiceName();
    if (name.empty()) continue;
    refill.AddRow({name, ServiceDisplayName(), services.pending.ShownState(name, ServiceStateText(ServiceState())),
                   KeptServiceDescription(name)},
                  0);
  }
}

void SortServiceList(HWND list, int column) {
  VELKOR_PLACE(kProceduresUnit);
  SortClickedList(list, column);
}

void SortClickedList(HWND list, int column) {
  if (!list) return;
  const win::ListSort sort = win::ClickedListSort(list, column);
  const int dpi = win::WindowDpi(list);
  win::MarkListSort(list, sort, ListSortArrow(true, dpi), ListSortArrow(false, dpi));
  win::SortListRows(list, sort);
}

bool PrepareServiceMenu(HWND list, HMENU menu) {
  VELKOR_PLACE(kProceduresUnit);
  const int row = list ? win::SelectedListRow(list) : -1;
  if (row < 0) return false;
  services.menuService = win::ListViewCellText(list, row, kNameColumn);
  const ServiceMenuEnabling enabling = ServiceMenuFor(win::ListViewCellText(list, row, kStateColumn));
  for (int command = kServiceStartCommand; command <= kServiceContinueCommand; ++command)
    EnableMenuItem(menu, static_cast<UINT>(command),
                   MF_BYCOMMAND | (enabling.Enabled(command) ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(menu, kServiceRefreshCommand, MF_BYCOMMAND | MF_ENABLED);
  return true;
}

bool RunServiceCommand(HWND list, int command) {
  VELKOR_PLACE(kProceduresUnit);
  if (!list) return false;
  if (command == kServiceRefreshCommand) {
    RefreshServiceList(list);
    return true;
  }
  std::string name = services.menuService;
  if (name.empty()) {
    const int row = win::SelectedListRow(list);
    if (row >= 0) name = win::ListViewCellText(list, row, kNameColumn);
  }
  if (name.empty() || !services.pending.Add(name, command)) return false;
  if (!QueueServiceJob({name, command})) {
    services.pending.Finish(name);
    win::ShowMessageBox(GetAncestor(list, GA_ROOT), ServiceCommandFailedMessage(command, name), "Hinweis",
                        MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  ShowPendingState(list, name);
  return false;
}

HANDLE ServiceCommandsEnded() { return services.worker ? services.worker->ended.get() : nullptr; }

bool FinishServiceCommands(HWND list) {
  if (!services.worker) return false;
  std::vector<ServiceJob> outcomes;
  {
    std::lock_guard lock(services.worker->mutex);
    outcomes.swap(services.worker->outcomes);
    ResetEvent(services.worker->ended.get());
  }
  if (outcomes.empty()) return false;
  for (const ServiceJob& job : outcomes) services.pending.Finish(job.name);
  // The rows showed their commands as pending: the refresh shows what came
  // of them, failed or not.
  RefreshServiceList(list);
  for (const ServiceJob& job : outcomes)
    if (!job.done)
      win::ShowMessageBox(list ? GetAncestor(list, GA_ROOT) : nullptr,
                          ServiceCommandFailedMessage(job.command, job.name), "Hinweis", MB_OK | MB_ICONEXCLAMATION);
  return list != nullptr;
}

void DestroyServiceList() {
  if (services.worker) {
    {
      std::lock_guard lock(services.worker->mutex);
      services.worker->stopping = true;
    }
    services.worker->wake.notify_one();
  }
  services = ServiceViewState{};
}

}  // namespace velkor
