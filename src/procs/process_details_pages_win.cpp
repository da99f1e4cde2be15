// The eight pages of the process-information window, read into rows.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "procs/file_version_info_win.h"
#include "procs/format.h"
#include "procs/priority.h"
#include "procs/process_commands.h"
#include "procs/process_details_win.h"
#include "win/source_location.h"

namespace velkor {

namespace {

using Row = DetailRow;

std::string Denied() { return std::string(kAccessDeniedText); }
std::string Or(const std::optional<std::string>& value) { return value ? *value : Denied(); }

std::string Bytes(uint64_t bytes) { return GroupThousands(static_cast<int64_t>(bytes / 1024)) + " KB"; }
std::string Count(uint64_t value) { return GroupThousands(static_cast<int64_t>(value)); }
std::string Duration(uint64_t hundredNs) {
  return FormatDuration(static_cast<int32_t>(std::min<uint64_t>(hundredNs / 10000000, INT32_MAX)));
}

std::string DateText(uint64_t fileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)}, local{};
  SYSTEMTIME t{};
  if (!fileTime || !FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return {};
  char text[32];
  wsprintfA(text, "%02u.%02u.%04u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond);
  return text;
}

std::vector<uint8_t> TokenField(HANDLE token, TOKEN_INFORMATION_CLASS field) {
  DWORD size = 0;
  GetTokenInformation(token, field, nullptr, 0, &size);
  std::vector<uint8_t> bytes(size > 0 && size < 65536 ? size : 0);
  if (bytes.empty() || !GetTokenInformation(token, field, bytes.data(), size, &size)) bytes.clear();
  return bytes;
}

std::string IntegrityText(DWORD rid) {
  if (rid >= SECURITY_MANDATORY_PROTECTED_PROCESS_RID) return "Geschützt";
  if (rid >= SECURITY_MANDATORY_SYSTEM_RID) return "System";
  if (rid >= SECURITY_MANDATORY_HIGH_RID) return "Hoch";
  if (rid >= SECURITY_MANDATORY_MEDIUM_RID) return "Mittel";
  if (rid >= SECURITY_MANDATORY_LOW_RID) return "Niedrig";
  return "Nicht vertrauenswürdig";
}

struct TokenFacts {
  std::optional<std::string> integrity, elevated;
};

TokenFacts ReadToken(InspectedProcess& process) {
  TokenFacts facts;
  HANDLE raw = nullptr;
  if (!process.limited || !OpenProcessToken(process.limited.get(), TOKEN_QUERY, &raw)) return facts;
  win::UniqueKernelHandle token(raw);
  if (!process.user) {
    // Looked up once: an account name may take the system a while to find.
    const std::vector<uint8_t> user = TokenField(token.get(), TokenUser);
    if (!user.empty()) {
      char name[256] = {}, domain[256] = {};
      DWORD nameSize = sizeof name, domainSize = sizeof domain;
      SID_NAME_USE use{};
      if (LookupAccountSidA(nullptr, reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, name, &nameSize,
                            domain, &domainSize, &use))
        process.user = std::string(domain) + (domain[0] ? "\\" : "") + name;
    }
  }
  const std::vector<uint8_t> level = TokenField(token.get(), TokenIntegrityLevel);
  if (!level.empty()) {
    PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(level.data())->Label.Sid;
    if (IsValidSid(sid) && *GetSidSubAuthorityCount(sid) > 0)
      facts.integrity = IntegrityText(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u));
  }
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
    facts.elevated = elevation.TokenIsElevated ? "Ja" : "Nein";
  return facts;
}

DetailPage GeneralPage(InspectedProcess& process) {
  DetailPage page;
  const ProcessRecordFacts& r = process.record;
  auto add = [&](const char* caption, std::string value) { page.rows.push_back({{caption, std::move(value)}}); };
  if (!process.fixed) {
    InspectedProcess::FixedFacts fixed;
    fixed.path = InspectedImagePath(process);
    if (!fixed.path.empty()) {
      fixed.description = FileVersionText(fixed.path, 0x2, false);
      fixed.company = FileVersionText(fixed.path, 0x80, false);
      fixed.version = FileVersionText(fixed.path, 0x1, false);
    }
    BOOL wow64 = FALSE;
    fixed.architecture =
        process.limited && IsWow64Process(process.limited.get(), &wow64) ? (wow64 ? "32-Bit" : "64-Bit") : Denied();
    process.fixed = std::move(fixed);
  }
  const InspectedProcess::FixedFacts& fixed = *process.fixed;
  add("Pfad", fixed.path.empty() ? Denied() : fixed.path);
  if (!fixed.path.empty()) {
    add("Beschreibung", fixed.description);
    add("Firma", fixed.company);
    add("Version", fixed.version);
  }
  const ProcessParameters parameters = ReadProcessParameters(process, false);
  add("Befehlszeile", Or(parameters.commandLine));
  add("Aktueller Ordner", Or(parameters.currentFolder));
  add("Gestartet", r.found ? DateText(r.created) : Denied());
  std::string parent = process.parentName.empty() ? std::string("?") : process.parentName;
  parent += " (" + std::to_string(r.parentPid) + ")";
  if (ParentEnded(r.parentRunning, r.parentCreated, r.created)) parent += " (beendet)";
  add("Übergeordneter Prozess", r.found ? parent : Denied());
  const TokenFacts token = ReadToken(process);
  add("Benutzer", Or(process.user));
  add("Sitzung", r.found ? std::to_string(r.sessionId) : Denied());
  add("Architektur", fixed.architecture);
  add("Integritätsstufe", Or(token.integrity));
  add("Erhöhte Rechte", Or(token.elevated));
  const DWORD priority = process.limited ? GetPriorityClass(process.limited.get()) : 0;
  add("Priorität", priority ? std::string(PriorityName(priority)) : Denied());
  bool suspended = !r.threads.empty();
  for (const ThreadRecord& t : r.threads) suspended = suspended && ThreadSuspended(t.state, t.waitReason);
  add("Status", process.ended ? "Beendet" : suspended ? "Angehalten" : "Läuft");
  if (process.ended) add("Exitcode", std::to_string(process.exitCode));
  return page;
}

DetailPage PerformancePage(InspectedProcess& process) {
  DetailPage page;
  const ProcessRecordFacts& r = process.record;
  auto add = [&](const char* caption, std::string value) { page.rows.push_back({{caption, std::move(value)}}); };
  // A new snapshot moves the interval on; the same one keeps it.
  const InspectedProcess::Sample now{r.takenAt * 10000, r.userTime + r.kernelTime, r.readBytes, r.writeBytes,
                                     r.otherBytes};
  const bool moved = r.found && now.wall > process.latest.wall;
  if (moved) {
    process.previous = process.latest;
    process.latest = now;
  }
  const InspectedProcess::Sample &before = process.previous, &after = process.latest;
  const double seconds = before.wall ? static_cast<double>(after.wall - before.wall) / 1e7 : 0.0;
  const double load =
      before.wall ? CpuLoadPercent(before.cpu, after.cpu, before.wall, after.wall, ProcessorCount()) : 0.0;
  if (moved && before.wall) process.loadHistory.push_back(load);
  if (process.loadHistory.size() > 4096) process.loadHistory.erase(process.loadHistory.begin());
  const auto rate = [&](uint64_t later, uint64_t earlier) {
    return seconds > 0 && later >= earlier
               ? Bytes(static_cast<uint64_t>(static_cast<double>(later - earlier) / seconds)) + "/s"
               : std::string("-");
  };
  add("CPU-Last", FormatDecimalDouble(load, 1) + "%");
  add("Benutzerzeit", Duration(r.userTime));
  add("Kernelzeit", Duration(r.kernelTime));
  add("Arbeitsspeicher", Bytes(r.workingSet));
  add("Arbeitsspeicher (Spitze)", Bytes(r.peakWorkingSet));
  add("Private Bytes", Bytes(r.privateBytes));
  add("Virtuelle Größe", Bytes(r.virtualSize));
  add("Seitenfehler", Count(r.pageFaults));
  add("Handles", Count(r.handleCount));
  add("Threads", Count(r.threadCount));
  // 0 is also the answer of a failure: another session's process, for one.
  const auto gui = [&](DWORD kind) {
    SetLastError(ERROR_SUCCESS);
    const DWORD count = process.limited ? GetGuiResources(process.limited.get(), kind) : 0;
    return process.limited && (count > 0 || GetLastError() == ERROR_SUCCESS) ? Count(count) : Denied();
  };
  add("GDI-Objekte", gui(GR_GDIOBJECTS));
  add("USER-Objekte", gui(GR_USEROBJECTS));
  add("E/A Lesen", Count(r.reads) + " (" + Bytes(r.readBytes) + ", " + rate(after.readBytes, before.readBytes) + ")");
  add("E/A Schreiben",
      Count(r.writes) + " (" + Bytes(r.writeBytes) + ", " + rate(after.writeBytes, before.writeBytes) + ")");
  add("E/A Andere",
      Count(r.others) + " (" + Bytes(r.otherBytes) + ", " + rate(after.otherBytes, before.otherBytes) + ")");
  return page;
}

std::string FileNameOfPath(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The modules with their ranges; false when the list cannot be read.
bool ReadModules(InspectedProcess& process) {
  std::optional<std::vector<ModuleSpan>> modules = ReadLoadedModules(process);
  if (!modules) return false;
  std::sort(modules->begin(), modules->end(), [](const auto& a, const auto& b) { return a.base < b.base; });
  process.modules = std::move(*modules);
  process.moduleFiles = process.modules;
  for (ModuleSpan& m : process.moduleFiles) m.name = FileNameOfPath(m.name);
  process.modulesRead = true;
  return true;
}

DetailPage ModulesPage(InspectedProcess& process) {
  DetailPage page;
  page.keyColumns = 2;
  page.denied = !ReadModules(process);
  for (size_t i = 0; i < process.modules.size(); ++i) {
    const ModuleSpan& m = process.modules[i];
    auto described = process.descriptions.find(m.name);
    if (described == process.descriptions.end())
      described = process.descriptions.emplace(m.name, FileVersionText(m.name, 0x2, false)).first;
    page.rows.push_back({{process.moduleFiles[i].name, HexAddress(m.base), Bytes(m.size), m.name, described->second}});
  }
  return page;
}

uint64_t ThreadStart(InspectedProcess& process, const ThreadRecord& thread) {
  if (auto found = process.threadStarts.find(thread.tid);
      found != process.threadStarts.end() && found->second.first == thread.created)
    return found->second.second;
  // The snapshot names the system's thread entry; the thread's own start is
  // asked once per thread.
  uint64_t start = thread.startAddress;
  using QueryThread = LONG(NTAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
  static const auto query = reinterpret_cast<QueryThread>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  if (win::UniqueKernelHandle handle{OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread.tid)};
      handle && query) {
    constexpr ULONG kStartAddressClass = 9;
    ULONG_PTR address = 0;
    if (query(handle.get(), kStartAddressClass, &address, sizeof address, nullptr) >= 0 && address) start = address;
  }
  process.threadStarts[thread.tid] = {thread.created, start};
  return start;
}

DetailPage ThreadsPage(InspectedProcess& process) {
  DetailPage page;
  if (!process.modulesRead) ReadModules(process);
  const std::vector<ModuleSpan>& named = process.moduleFiles;
  std::vector<ThreadRecord> threads = process.record.threads;
  std::sort(threads.begin(), threads.end(), [](const auto& a, const auto& b) { return a.tid < b.tid; });
  for (const ThreadRecord& t : threads)
    page.rows.push_back(
        {{std::to_string(t.tid), AddressInModule(ThreadStart(process, t), named), std::to_string(t.priority),
          Duration(t.cpuTime), std::string(ThreadStateText(t.state, t.waitReason))}});
  std::erase_if(process.threadStarts, [&](const auto& known) {
    return !std::binary_search(threads.begin(), threads.end(), ThreadRecord{known.first},
                               [](const auto& a, const auto& b) { return a.tid < b.tid; });
  });
  return page;
}

DetailPage EnvironmentPage(InspectedProcess& process) {
  DetailPage page;
  const ProcessParameters parameters = ReadProcessParameters(process, true);
  page.denied = !parameters.environment;
  if (page.denied) return page;
  for (const auto& [name, value] : *parameters.environment) page.rows.push_back({{name, value}});
  return page;
}

template <typename Table>
std::vector<uint8_t> IpTable(ULONG family, bool tcp) {
  std::vector<uint8_t> bytes(16 * 1024);
  for (int attempt = 0; attempt < 4; ++attempt) {
    auto size = static_cast<DWORD>(bytes.size());
    const DWORD status = tcp ? GetExtendedTcpTable(bytes.data(), &size, FALSE, family, TCP_TABLE_OWNER_PID_ALL, 0)
                             : GetExtendedUdpTable(bytes.data(), &size, FALSE, family, UDP_TABLE_OWNER_PID, 0);
    if (status == NO_ERROR) return bytes;
    if (status != ERROR_INSUFFICIENT_BUFFER || size > 16 * 1024 * 1024) break;
    bytes.resize(size + 4096);
  }
  return {};
}

std::array<uint8_t, 16> V4(DWORD address) {
  std::array<uint8_t, 16> bytes{};
  std::memcpy(bytes.data(), &address, 4);
  return bytes;
}
std::array<uint8_t, 16> V6(const UCHAR* address) {
  std::array<uint8_t, 16> bytes{};
  std::memcpy(bytes.data(), address, 16);
  return bytes;
}
uint16_t Port(DWORD port) { return ntohs(static_cast<u_short>(port)); }

// Each table's rows, as many as the table's own count and its bytes hold.
template <typename Table, typename Each>
void ForRows(const std::vector<uint8_t>& bytes, Each each) {
  if (bytes.size() < sizeof(DWORD)) return;
  const auto* table = reinterpret_cast<const Table*>(bytes.data());
  const size_t room = (bytes.size() - offsetof(Table, table)) / sizeof(table->table[0]);
  for (size_t i = 0; i < std::min<size_t>(table->dwNumEntries, room); ++i) each(table->table[i]);
}

DetailPage NetworkPage(InspectedProcess& process) {
  DetailPage page;
  page.keyColumns = 3;
  const uint32_t pid = process.pid;
  const std::vector<uint8_t> tcp4 = IpTable<MIB_TCPTABLE_OWNER_PID>(AF_INET, true);
  page.denied = tcp4.empty();
  ForRows<MIB_TCPTABLE_OWNER_PID>(tcp4, [&](const MIB_TCPROW_OWNER_PID& r) {
    if (r.dwOwningPid == pid)
      page.rows.push_back(
          {{"TCP", EndpointText(false, V4(r.dwLocalAddr), Port(r.dwLocalPort)),
            EndpointText(false, V4(r.dwRemoteAddr), Port(r.dwRemotePort)), std::string(TcpStateText(r.dwState))}});
  });
  ForRows<MIB_TCP6TABLE_OWNER_PID>(
      IpTable<MIB_TCP6TABLE_OWNER_PID>(AF_INET6, true), [&](const MIB_TCP6ROW_OWNER_PID& r) {
        if (r.dwOwningPid == pid)
          page.rows.push_back(
              {{"TCPv6", EndpointText(true, V6(r.ucLocalAddr), Port(r.dwLocalPort)),
                EndpointText(true, V6(r.ucRemoteAddr), Port(r.dwRemotePort)), std::string(TcpStateText(r.dwState))}});
      });
  ForRows<MIB_UDPTABLE_OWNER_PID>(IpTable<MIB_UDPTABLE_OWNER_PID>(AF_INET, false), [&](const MIB_UDPROW_OWNER_PID& r) {
    if (r.dwOwningPid == pid)
      page.rows.push_back({{"UDP", EndpointText(false, V4(r.dwLocalAddr), Port(r.dwLocalPort)), "*:*", ""}});
  });
  ForRows<MIB_UDP6TABLE_OWNER_PID>(
      IpTable<MIB_UDP6TABLE_OWNER_PID>(AF_INET6, false), [&](const MIB_UDP6ROW_OWNER_PID& r) {
        if (r.dwOwningPid == pid)
          page.rows.push_back({{"UDPv6", EndpointText(true, V6(r.ucLocalAddr), Port(r.dwLocalPort)), "*:*", ""}});
      });
  return page;
}

DetailPage WindowsPage(InspectedProcess& process) {
  struct Found {
    uint32_t pid;
    DetailPage page;
  } found{process.pid, {}};
  // The title as the system keeps it: asking the window would send it a message.
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& f = *reinterpret_cast<Found*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != f.pid) return TRUE;
        wchar_t title[512] = {};
        const int length = InternalGetWindowText(window, title, 512);
        std::u16string text(reinterpret_cast<const char16_t*>(title), static_cast<size_t>(std::max(length, 0)));
        char className[256] = {};
        GetClassNameA(window, className, sizeof className);
        char handle[24];
        wsprintfA(handle, "%08lX", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        f.page.rows.push_back({{handle, Utf16ToWindows1252(text), className, IsWindowVisible(window) ? "Ja" : "Nein"}});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.page;
}

std::string ServiceStateText(DWORD state) {
  switch (state) {
    case SERVICE_RUNNING: return "Gestartet";
    case SERVICE_STOPPED: return "Beendet";
    case SERVICE_PAUSED: return "Angehalten";
    case SERVICE_START_PENDING: return "Startet";
    case SERVICE_STOP_PENDING: return "Wird beendet";
    default: return "Ändert sich";
  }
}

DetailPage ServicesPage(InspectedProcess& process) {
  DetailPage page;
  win::UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ENUMERATE_SERVICE));
  page.denied = !manager;
  if (!manager) return page;
  std::vector<uint8_t> bytes(64 * 1024);
  DWORD needed = 0, count = 0, resume = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    count = resume = 0;
    if (EnumServicesStatusExA(manager.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_ACTIVE, bytes.data(),
                              static_cast<DWORD>(bytes.size()), &needed, &count, &resume, nullptr))
      break;
    if (GetLastError() != ERROR_MORE_DATA || needed > 16 * 1024 * 1024) return page;
    bytes.resize(bytes.size() + needed);
    count = 0;
  }
  const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSA*>(bytes.data());
  for (DWORD i = 0; i < count; ++i)
    if (services[i].ServiceStatusProcess.dwProcessId == process.pid)
      page.rows.push_back({{services[i].lpServiceName ? services[i].lpServiceName : "",
                            services[i].lpDisplayName ? services[i].lpDisplayName : "",
                            ServiceStateText(services[i].ServiceStatusProcess.dwCurrentState)}});
  return page;
}

}  // namespace

DetailPage ReadDetailPage(InspectedProcess& process, int page) {
  VELKOR_PLACE(kProceduresUnit);
  switch (page) {
    case kGeneralPage: return GeneralPage(process);
    case kPerformancePage: return PerformancePage(process);
    case kThreadsPage: return ThreadsPage(process);
    case kModulesPage: return ModulesPage(process);
    case kEnvironmentPage: return EnvironmentPage(process);
    case kNetworkPage: return NetworkPage(process);
    case kWindowsPage: return WindowsPage(process);
    case kServicesPage: return ServicesPage(process);
    default: return {};
  }
}

}  // namespace velkor
