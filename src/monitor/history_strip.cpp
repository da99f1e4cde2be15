#include "monitor/history_strip.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/dpi_scale.h"
#include "procs/format.h"
#include "win/source_location.h"

namespace velkor {

namespace {

// A picture is kept as what each of its columns shows, not as pixels: which
// column of the background strip, and how high a bar. That is 2 bytes a
// column instead of 72, for every listed process, and a step moves a few
// hundred bytes; the pixels are drawn only for the picture that is shown.
struct StripColumns {
  std::vector<uint8_t> stripColumn;  // the background strip's column at this x
  std::vector<uint8_t> bar;          // visible bar height, 0..18
  [[nodiscard]] int Width() const { return static_cast<int>(bar.size()); }
};

struct HistoryState {
  Canvas background;  // the 4 x 20 strip
  int width = 300;
  int nextNumber = 1;
  uint64_t revision = 0;
  std::unordered_map<int, StripColumns> images;
};
HistoryState history;

// Columns x0..x0+w-1 of a picture show the strip stretched (nearest column)
// to `stretchWidth` columns, with no bar.
void SetBackground(StripColumns& image, int x0, int w, int stretchWidth) {
  const int stripWidth = history.background.width;
  for (int x = x0; x < x0 + w; ++x) {
    const int column = stripWidth > 0 && stretchWidth > 0 ? (x - x0) * stripWidth / stretchWidth : 0;
    image.stripColumn[static_cast<size_t>(x)] = static_cast<uint8_t>(std::clamp(column, 0, 255));
    image.bar[static_cast<size_t>(x)] = 0;
  }
}

StripColumns EmptyImage(int width) {
  StripColumns image;
  image.stripColumn.assign(static_cast<size_t>(width), 0);
  image.bar.assign(static_cast<size_t>(width), 0);
  SetBackground(image, 0, width, width);
  return image;
}

// The strip's row behind picture row y (the picture shows rows 2..19); white
// without a strip.
Pixel BackgroundAt(int column, int y) {
  const Canvas& strip = history.background;
  if (strip.width <= 0 || strip.height <= 0) return MakePixel(255, 255, 255);
  return strip.At(std::min(column, strip.width - 1), (y + 2) * strip.height / 20) | 0xFF000000u;
}

// A bar is green at the bottom turning red towards the top, by row.
Pixel BarAt(int y) { return MakePixel(static_cast<uint8_t>(255 - 14 * y), static_cast<uint8_t>(14 * y), 0); }

Canvas Draw(const StripColumns& image) {
  Canvas picture(image.Width(), kHistoryImageHeight);
  for (int x = 0; x < image.Width(); ++x) {
    const int column = image.stripColumn[static_cast<size_t>(x)];
    const int firstBarRow = kHistoryImageHeight - image.bar[static_cast<size_t>(x)];
    for (int y = 0; y < kHistoryImageHeight; ++y)
      picture.Set(x, y, y >= firstBarRow ? BarAt(y) : BackgroundAt(column, y));
  }
  return picture;
}

int Store(StripColumns image) {
  // Numbers are not reused while the program runs, so a stale number in a
  // row can never reach another row's picture.
  const int number = history.nextNumber;
  history.nextNumber = history.nextNumber == 0x7FFFFFFF ? 1 : history.nextNumber + 1;
  history.images[number] = std::move(image);
  ++history.revision;
  return number;
}

}  // namespace

int HistoryImageWidthFor(int clientWidth, int dpi) {
  return std::max(ScaleFromDpi(clientWidth, dpi) - kHistoryImageLeft, kHistoryStep);
}

void DrawHistoryImageInBar(Canvas& bar, const Canvas& image, int dpi) {
  const int left = ScaleToDpi(kHistoryImageLeft, dpi), top = ScaleToDpi(kHistoryImageTop, dpi);
  const int width = bar.width - left;
  const int height = std::min(ScaleToDpi(kHistoryImageTop + kHistoryImageHeight, dpi), bar.height) - top;
  if (width <= 0 || height <= 0 || image.width <= 0 || image.height <= 0) return;
  for (int y = 0; y < height; ++y) {
    const int from = y * image.height / height;
    for (int x = 0; x < width; ++x) bar.Set(left + x, top + y, image.At(x * image.width / width, from));
  }
}

void SetHistoryBackground(const Canvas& strip) { history.background = strip; }

void SetHistoryImageWidth(int width) { history.width = std::max(width, kHistoryStep); }

int HistoryImageWidth() { return history.width; }

int CreateHistoryImage() {
  VELKOR_PLACE(kProceduresUnit);
  return Store(EmptyImage(history.width));
}

void AdvanceHistoryImage(int image, float load) {
  VELKOR_PLACE(kProceduresUnit);
  const auto found = history.images.find(image);
  if (found == history.images.end()) return;
  StripColumns& columns = found->second;
  const int w = columns.Width();
  const int step = std::min(kHistoryStep, w);
  for (std::vector<uint8_t>* line : {&columns.stripColumn, &columns.bar})
    std::copy(line->begin() + step, line->end(), line->begin());
  // The strip's first two columns, unscaled.
  SetBackground(columns, w - step, step, history.background.width);
  // Rows 18 - bar .. 17 are the bar (row 18 lies below the picture).
  const int bar = std::clamp(RoundHalfUp(load * 18.0f / 100.0f), 0, 18);
  std::fill(columns.bar.end() - step, columns.bar.end(), static_cast<uint8_t>(bar));
  ++history.revision;
}

void DestroyHistoryImage(int image) {
  VELKOR_PLACE(kProceduresUnit);
  if (history.images.erase(image)) ++history.revision;
}

void ResizeHistoryImages(ProcessRows& rows, int width) {
  VELKOR_PLACE(kProceduresUnit);
  SetHistoryImageWidth(width);
  for (int row = 0; row < rows.RowCount(); ++row) {
    const int old = rows.HistoryImageOf(row);
    const auto found = history.images.find(old);
    if (found == history.images.end()) continue;
    // The old picture right-aligned on a fresh one: the newest history stays
    // at the right edge, new space on the left shows the background.
    StripColumns fresh = EmptyImage(history.width);
    const StripColumns& before = found->second;
    const int shift = history.width - before.Width();
    for (int x = std::max(0, shift); x < history.width && x - shift < before.Width(); ++x) {
      fresh.stripColumn[static_cast<size_t>(x)] = before.stripColumn[static_cast<size_t>(x - shift)];
      fresh.bar[static_cast<size_t>(x)] = before.bar[static_cast<size_t>(x - shift)];
    }
    history.images.erase(found);
    rows.SetHistoryImage(row, Store(std::move(fresh)));
  }
  ++history.revision;
}

void SwitchHistoryImages(ProcessRows& rows, bool enabled) {
  VELKOR_PLACE(kProceduresUnit);
  for (int row = 0; row < rows.RowCount(); ++row) {
    const int image = rows.HistoryImageOf(row);
    if (enabled) {
      if (!history.images.contains(image)) rows.SetHistoryImage(row, CreateHistoryImage());
    } else {
      DestroyHistoryImage(image);
      rows.SetHistoryImage(row, 0);
    }
  }
  if (!enabled) DestroyAllHistoryImages();
}

void DestroyAllHistoryImages() {
  history.images.clear();
  ++history.revision;
}

std::optional<Canvas> HistoryImage(int image) {
  const auto found = history.images.find(image);
  if (found == history.images.end()) return std::nullopt;
  return Draw(found->second);
}

int HistoryImageCount() { return static_cast<int>(history.images.size()); }

uint64_t HistoryImagesRevision() { return history.revision; }

}  // namespace velkor
