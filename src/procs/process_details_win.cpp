#include "procs/process_details_win.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "procs/native_snapshot_win.h"
#include "procs/process_snapshot_win.h"
#include "win/system_functions.h"
#include "win/source_location.h"

namespace velkor {

namespace {

constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr LONG kBufferTooSmall = static_cast<LONG>(0xC0000023);

using QueryProcess = LONG(NTAPI*)(HANDLE, ULONG infoClass, void* buffer, ULONG length, ULONG* returned);
QueryProcess NtQueryProcess() {
  static const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  return query;
}

std::string NameOf(const NativeProcessRecord& record, const std::byte* base, size_t size) {
  const auto* name = reinterpret_cast<const std::byte*>(record.imageName.buffer);
  if (!name || name < base || name + record.imageName.length > base + size) return {};
  std::u16string text(record.imageName.length / 2, u'\0');
  std::memcpy(text.data(), name, text.size() * 2);
  return Utf16ToWindows1252(text);
}

uint64_t Quad(LARGE_INTEGER value) { return static_cast<uint64_t>(value.QuadPart); }

void TakeRecord(ProcessRecordFacts& facts, const NativeProcessRecord& record, const std::byte* at, size_t left) {
  facts.found = true;
  facts.parentPid = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record.inheritedFromUniqueProcessId));
  facts.created = Quad(record.createTime);
  facts.userTime = Quad(record.userTime);
  facts.kernelTime = Quad(record.kernelTime);
  facts.handleCount = record.handleCount;
  facts.threadCount = record.numberOfThreads;
  facts.pageFaults = record.pageFaultCount;
  facts.sessionId = record.sessionId;
  facts.workingSet = record.workingSetSize;
  facts.peakWorkingSet = record.peakWorkingSetSize;
  facts.privateBytes = record.privatePageCount;
  facts.virtualSize = record.virtualSize;
  facts.reads = Quad(record.readOperationCount);
  facts.writes = Quad(record.writeOperationCount);
  facts.others = Quad(record.otherOperationCount);
  facts.readBytes = Quad(record.readTransferCount);
  facts.writeBytes = Quad(record.writeTransferCount);
  facts.otherBytes = Quad(record.otherTransferCount);
  // The thread records, as many as lie inside the record's own bytes.
  const size_t room =
      left > sizeof(NativeProcessRecord) ? (left - sizeof(NativeProcessRecord)) / sizeof(NativeThreadRecord) : 0;
  const size_t count = std::min<size_t>(record.numberOfThreads, room);
  for (size_t i = 0; i < count; ++i) {
    NativeThreadRecord thread;
    std::memcpy(&thread, at + sizeof(NativeProcessRecord) + i * sizeof(NativeThreadRecord), sizeof thread);
    facts.threads.push_back({static_cast<uint32_t>(reinterpret_cast<uintptr_t>(thread.uniqueThread)),
                             reinterpret_cast<uint64_t>(thread.startAddress), Quad(thread.createTime), thread.priority,
                             Quad(thread.kernelTime) + Quad(thread.userTime), thread.threadState, thread.waitReason});
  }
}

// The process's record and its parent's out of the `size` bytes of a
// snapshot at `base`, taken at `takenAt`.
void ReadRecords(ProcessRecordFacts& facts, uint32_t pid, const std::byte* base, size_t size, uint64_t takenAt) {
  facts.takenAt = takenAt;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t offset = 0; offset + sizeof(NativeProcessRecord) <= size;) {
      NativeProcessRecord record;
      std::memcpy(&record, base + offset, sizeof record);
      const size_t left =
          record.nextEntryOffset ? std::min<size_t>(record.nextEntryOffset, size - offset) : size - offset;
      const auto recordPid = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record.uniqueProcessId));
      if (pass == 0 && recordPid == pid) TakeRecord(facts, record, base + offset, left);
      if (pass == 1 && recordPid == facts.parentPid && recordPid != 0) {
        facts.parentRunning = true;
        facts.parentCreated = Quad(record.createTime);
        facts.parentName = NameOf(record, base, size);
      }
      if (record.nextEntryOffset == 0) break;
      offset += record.nextEntryOffset;
    }
    if (!facts.found) return;
  }
}

// Reads `size` bytes at `address` of the process; false unless all came.
bool ReadMemory(HANDLE process, uint64_t address, void* into, size_t size) {
  SIZE_T read = 0;
  return address && ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), into, size, &read) && read == size;
}

// A counted UTF-16 text of the other process: its length is the other
// process's word, so it is bounded to the longest path or command line.
std::optional<std::string> ReadCountedText(HANDLE process, uint16_t lengthBytes, uint64_t buffer) {
  constexpr uint16_t kLongest = 32766 * 2;
  const size_t characters = std::min(lengthBytes, kLongest) / 2;
  std::u16string text(characters, u'\0');
  if (characters && !ReadMemory(process, buffer, text.data(), characters * 2)) return std::nullopt;
  return Utf16ToWindows1252(text);
}

// Where the parameters block keeps what is read, by the process's kind.
struct ParameterLayout {
  uint32_t pebParameters, folder, folderBuffer, commandLine, commandLineBuffer, environment, pointerSize;
};
constexpr ParameterLayout kLayout64{0x20, 0x38, 0x40, 0x70, 0x78, 0x80, 8};
constexpr ParameterLayout kLayout32{0x10, 0x24, 0x28, 0x40, 0x44, 0x48, 4};

uint64_t Pointer(const uint8_t* bytes, uint32_t size) {
  uint64_t value = 0;
  std::memcpy(&value, bytes, size);
  return value;
}

// The environment block: read in pieces until its end, never past the
// memory region it starts in nor past 1 MiB, whatever the process states.
std::optional<std::vector<std::pair<std::string, std::string>>> ReadEnvironment(HANDLE process, uint64_t address) {
  constexpr size_t kMost = 1024 * 1024, kPiece = 64 * 1024;
  MEMORY_BASIC_INFORMATION region{};
  if (!address || !VirtualQueryEx(process, reinterpret_cast<LPCVOID>(address), &region, sizeof region))
    return std::nullopt;
  const uint64_t regionEnd = reinterpret_cast<uint64_t>(region.BaseAddress) + region.RegionSize;
  const size_t limit = static_cast<size_t>(std::min<uint64_t>(kMost, regionEnd > address ? regionEnd - address : 0));
  std::u16string block;
  while (block.size() * 2 < limit) {
    const size_t piece = std::min(kPiece, limit - block.size() * 2) / 2;
    std::u16string more(piece, u'\0');
    SIZE_T read = 0;
    ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address + block.size() * 2), more.data(), piece * 2, &read);
    block.append(more.data(), read / 2);
    if (EnvironmentBlockLength(block) || read < piece * 2) break;
  }
  if (block.empty()) return std::nullopt;
  return ParseEnvironmentBlock(block);
}

// The command line through the documented query of Windows 8.1 and later,
// which needs no memory read.
std::optional<std::string> QueriedCommandLine(HANDLE process) {
  constexpr ULONG kCommandLineClass = 60;
  const QueryProcess query = NtQueryProcess();
  if (!query || !process) return std::nullopt;
  std::vector<uint64_t> buffer(512);
  for (int attempt = 0; attempt < 3; ++attempt) {
    ULONG needed = 0;
    const auto capacity = static_cast<ULONG>(buffer.size() * 8);
    const LONG status = query(process, kCommandLineClass, buffer.data(), capacity, &needed);
    if ((status == kInfoLengthMismatch || status == kBufferTooSmall) && needed > capacity && needed <= 70000) {
      buffer.assign(needed / 8 + 1, 0);
      continue;
    }
    if (status < 0) return std::nullopt;
    USHORT length = 0;
    std::memcpy(&length, buffer.data(), sizeof length);
    const auto* bytes = reinterpret_cast<const std::byte*>(buffer.data());
    const auto* text = *reinterpret_cast<const std::byte* const*>(bytes + 8);
    // The text lies in the buffer just behind its header.
    if (!text || text < bytes || text + length > bytes + capacity) return std::nullopt;
    std::u16string line(length / 2, u'\0');
    std::memcpy(line.data(), text, line.size() * 2);
    return Utf16ToWindows1252(line);
  }
  return std::nullopt;
}

// Where the loader keeps its list of modules, by the process's kind: the
// list's place in the PEB's loader block, and per entry its base, size and
// path (counted text), the bytes read of each.
struct LoaderLayout {
  uint32_t pebLoader, listHead, base, size, path, pathBuffer, entryBytes, pointerSize;
};
constexpr LoaderLayout kLoader64{0x18, 0x10, 0x30, 0x40, 0x48, 0x50, 0x58, 8};
constexpr LoaderLayout kLoader32{0x0C, 0x0C, 0x18, 0x20, 0x24, 0x28, 0x2C, 4};

// One walk of the loader's list in the other process: per module one read of
// its entry and one of its path. The list may change while it is read, and
// its links are the other process's words: a failed read ends the walk, and
// it never goes past 16384 entries.
bool WalkLoaderList(HANDLE reader, uint64_t peb, const LoaderLayout& layout, std::vector<ModuleSpan>& modules) {
  uint8_t pointer[8] = {};
  if (!ReadMemory(reader, peb + layout.pebLoader, pointer, layout.pointerSize)) return false;
  const uint64_t head = Pointer(pointer, layout.pointerSize) + layout.listHead;
  if (head == layout.listHead || !ReadMemory(reader, head, pointer, layout.pointerSize)) return false;
  uint64_t link = Pointer(pointer, layout.pointerSize);
  for (int count = 0; link && link != head && count < 16384; ++count) {
    uint8_t entry[0x58] = {};
    if (!ReadMemory(reader, link, entry, layout.entryBytes)) break;
    uint16_t length = 0;
    uint32_t size = 0;
    std::memcpy(&length, entry + layout.path, sizeof length);
    std::memcpy(&size, entry + layout.size, sizeof size);
    const uint64_t base = Pointer(entry + layout.base, layout.pointerSize);
    const bool known = std::any_of(modules.begin(), modules.end(), [&](const ModuleSpan& m) { return m.base == base; });
    if (base && !known) {
      const std::optional<std::string> path =
          ReadCountedText(reader, length, Pointer(entry + layout.pathBuffer, layout.pointerSize));
      modules.push_back({base, size, path.value_or(std::string())});
    }
    link = Pointer(entry, layout.pointerSize);
  }
  return true;
}

// The PEB of the process, and for a 32-bit one on 64-bit Windows its 32-bit PEB.
uint64_t PebOf(HANDLE reader, bool wow64) {
  const QueryProcess query = NtQueryProcess();
  if (!query) return 0;
  if (wow64) {
    constexpr ULONG kWow64Class = 26;
    ULONG_PTR peb32 = 0;
    return query(reader, kWow64Class, &peb32, sizeof peb32, nullptr) >= 0 ? peb32 : 0;
  }
  struct {
    LONG exitStatus;
    void* pebBaseAddress;
    ULONG_PTR affinityMask;
    LONG basePriority;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR inheritedFromUniqueProcessId;
  } basic{};
  return query(reader, 0, &basic, sizeof basic, nullptr) >= 0 ? reinterpret_cast<uint64_t>(basic.pebBaseAddress) : 0;
}

}  // namespace

std::optional<std::vector<ModuleSpan>> ReadLoadedModules(InspectedProcess& process) {
  HANDLE reader = ReadingHandle(process);
  if (!reader) return std::nullopt;
  BOOL wow64 = FALSE;
  IsWow64Process(reader, &wow64);
  std::vector<ModuleSpan> modules;
  // A 32-bit process's own modules are in its 32-bit loader's list, the
  // system's 64-bit ones beside them in the other.
  bool read = wow64 && WalkLoaderList(reader, PebOf(reader, true), kLoader32, modules);
  read = WalkLoaderList(reader, PebOf(reader, false), kLoader64, modules) || read;
  if (!read) return std::nullopt;
  return modules;
}

bool OpenInspectedProcess(InspectedProcess& process, uint32_t pid, const std::string& name) {
  VELKOR_PLACE(kProceduresUnit);
  process = InspectedProcess{};
  process.pid = pid;
  process.name = name;
  process.limited.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
  if (!process.limited) process.limited.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  return process.limited.valid();
}

HANDLE ReadingHandle(InspectedProcess& process) {
  if (!process.readingTried) {
    process.readingTried = true;
    // The bound of the environment block (the region it lies in) asks for
    // the full query right; the other memory reads, the module list among
    // them, need only the read right beside the limited one.
    process.reading.reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process.pid));
    if (!process.reading)
      process.reading.reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, process.pid));
  }
  return process.reading.get();
}

void RefreshInspectedProcess(InspectedProcess& process, uint32_t listInterval) {
  VELKOR_PLACE(kProceduresUnit);
  if (process.ended) return;
  if (process.limited) {
    // Without the right to wait on it, its exit code tells.
    const DWORD waited = WaitForSingleObject(process.limited.get(), 0);
    DWORD code = 0;
    if (waited == WAIT_OBJECT_0 ||
        (waited == WAIT_FAILED && GetExitCodeProcess(process.limited.get(), &code) && code != STILL_ACTIVE)) {
      GetExitCodeProcess(process.limited.get(), &code);
      process.ended = true;
      process.exitCode = code;
      return;
    }
  }
  ProcessRecordFacts facts;
  const uint64_t now = GetTickCount64();
  const SnapshotBytes list = LastProcessSnapshot();
  if (list.size && list.number != process.listSnapshotRead && now - list.takenAt < listInterval) {
    process.listSnapshotRead = list.number;
    ReadRecords(facts, process.pid, list.bytes, list.size, list.takenAt);
  }
  // Not in the list's: the process is new to it or gone, which only a fresh one tells.
  size_t own = 0;
  if (!facts.found) {
    facts = ProcessRecordFacts{};
    own = TakeNativeSnapshot(process.snapshot);
    ReadRecords(facts, process.pid, reinterpret_cast<const std::byte*>(process.snapshot.data()), own, now);
    if (own == 0) return;  // the system refused: the figures shown stay
  }
  if (!facts.found && !process.limited) {
    process.ended = true;  // neither opened nor listed any more
    return;
  }
  // A parent's name is known only while it runs: once its PID is gone or
  // taken by a later process, the name seen before stays.
  if (facts.found && !ParentEnded(facts.parentRunning, facts.parentCreated, facts.created))
    process.parentName = facts.parentName;
  process.record = std::move(facts);
}

ProcessParameters ReadProcessParameters(InspectedProcess& process, bool withEnvironment) {
  ProcessParameters found;
  found.commandLine = QueriedCommandLine(process.limited.get());
  HANDLE reader = ReadingHandle(process);
  const QueryProcess query = NtQueryProcess();
  if (!reader || !query) return found;
  BOOL wow64 = FALSE;
  IsWow64Process(reader, &wow64);
  const ParameterLayout& layout = wow64 ? kLayout32 : kLayout64;
  const uint64_t peb = PebOf(reader, wow64);
  uint8_t pointer[8] = {};
  if (!ReadMemory(reader, peb + layout.pebParameters, pointer, layout.pointerSize)) return found;
  const uint64_t parameters = Pointer(pointer, layout.pointerSize);
  uint8_t block[0x90] = {};
  if (!ReadMemory(reader, parameters, block, layout.environment + layout.pointerSize)) return found;
  const auto length = [&](uint32_t at) {
    uint16_t value = 0;
    std::memcpy(&value, block + at, sizeof value);
    return value;
  };
  found.currentFolder =
      ReadCountedText(reader, length(layout.folder), Pointer(block + layout.folderBuffer, layout.pointerSize));
  if (!found.commandLine)
    found.commandLine = ReadCountedText(reader, length(layout.commandLine),
                                        Pointer(block + layout.commandLineBuffer, layout.pointerSize));
  if (withEnvironment)
    found.environment = ReadEnvironment(reader, Pointer(block + layout.environment, layout.pointerSize));
  return found;
}

std::string InspectedImagePath(const InspectedProcess& process) {
  char path[MAX_PATH * 4] = {};
  DWORD size = sizeof path;
  if (!process.limited || !QueryFullProcessImageNameA(process.limited.get(), 0, path, &size)) return {};
  return std::string(path, size);
}

}  // namespace velkor
