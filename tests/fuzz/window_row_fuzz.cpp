// libFuzzer target for the rows of the window list: any title (very long,
// control characters, bytes no code page defines), any rectangle and any
// process path give a row whose handle and process id read back exactly, and
// the check boxes below the list only ever add windows.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lists/window_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  velkor::WindowFacts w;
  w.handle = input.ConsumeIntegral<uint64_t>();
  w.pid = input.ConsumeIntegral<uint32_t>();
  w.visible = input.ConsumeBool();
  w.minimised = input.ConsumeBool();
  w.maximised = input.ConsumeBool();
  w.exStyle = input.ConsumeIntegral<uint32_t>();
  w.left = input.ConsumeIntegral<int>();
  w.top = input.ConsumeIntegral<int>();
  w.right = input.ConsumeIntegral<int>();
  w.bottom = input.ConsumeIntegral<int>();
  velkor::WindowFilter filter{input.ConsumeBool(),          input.ConsumeBool(),          input.ConsumeBool(),
                              input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                              input.ConsumeIntegral<int>()};
  w.cloaked = input.ConsumeBool();
  w.processPath = input.ConsumeRandomLengthString(600);
  w.title = input.ConsumeRemainingBytesAsString();

  const bool listed = velkor::WindowListed(w, filter);
  if (listed && (w.title.empty() || velkor::SkippedAsHidden(w.visible, w.cloaked, filter))) std::abort();
  for (bool velkor::WindowFilter::*box :
       {&velkor::WindowFilter::showHidden, &velkor::WindowFilter::showSizeless, &velkor::WindowFilter::showOffScreen}) {
    velkor::WindowFilter more = filter;
    more.*box = true;
    if (listed && !velkor::WindowListed(w, more)) std::abort();
  }

  const auto cells = velkor::WindowRowCells(w);
  if (cells[velkor::kWindowTitleColumn] != w.title) std::abort();
  if (velkor::ParseListNumber(cells[velkor::kWindowHandleColumn]) != w.handle) std::abort();
  if (velkor::ParseListNumber(cells[velkor::kWindowPidColumn]) != w.pid) std::abort();
  const std::string& process = cells[velkor::kWindowProcessColumn];
  if (process.find_first_of("\\/") != std::string::npos || !w.processPath.ends_with(process)) std::abort();
  if (cells[4].empty() != w.minimised) std::abort();
  // The size cell holds the full 33-bit differences.
  const std::string extent =
      std::to_string(int64_t{w.right} - w.left) + "x" + std::to_string(int64_t{w.bottom} - w.top);
  if (cells[5] != extent) std::abort();
  // A hostile cell read back as a number gives 0 or its leading digits, never a fault.
  (void)velkor::ParseListNumber(w.title);
  return 0;
}
