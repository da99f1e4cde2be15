#include "monitor/history_strip.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "procs/format.h"

namespace velkor {

namespace {

struct HistoryState {
  Canvas background;  // the 4 x 20 strip
  int width = 300;
  int nextNumber = 1;
  uint64_t revision = 0;
  std::unordered_map<int, Canvas> images;
};
HistoryState history;

// The strip drawn at y = -2 over columns x0..x0+w-1, stretched (nearest
// pixel) to `stretchWidth` columns.
void DrawBackground(Canvas& image, int x0, int w, int stretchWidth) {
  const Canvas& strip = history.background;
  for (int y = 0; y < image.height; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      Pixel p = MakePixel(255, 255, 255);
      if (strip.width > 0 && strip.height > 0 && stretchWidth > 0) {
        const int sx = (x - x0) * strip.width / stretchWidth;
        const int sy = (y + 2) * strip.height / 20;
        p = strip.At(sx, sy) | 0xFF000000u;
      }
      image.Set(x, y, p);
    }
  }
}

Canvas EmptyImage(int width) {
  Canvas image(width, kHistoryImageHeight, MakePixel(255, 255, 255));
  DrawBackground(image, 0, width, width);
  return image;
}

int Store(Canvas image) {
  // Numbers are not reused while the program runs, so a stale number in a
  // row can never reach another row's picture.
  const int number = history.nextNumber;
  history.nextNumber = history.nextNumber == 0x7FFFFFFF ? 1 : history.nextNumber + 1;
  history.images[number] = std::move(image);
  ++history.revision;
  return number;
}

int ImageOfRow(const RowStore& rows, int row, int column) {
  return static_cast<int>(std::clamp<int64_t>(LeadingWholeNumber(rows.CellText(row, column)), 0, 0x7FFFFFFF));
}

}  // namespace

int HistoryImageWidthFor(int clientWidth) {
  return std::max(clientWidth - kHistoryImageLeft, kHistoryStep);
}

void SetHistoryBackground(const Canvas& strip) {
  history.background = strip;
}

void SetHistoryImageWidth(int width) {
  history.width = std::max(width, kHistoryStep);
}

int HistoryImageWidth() {
  return history.width;
}

int CreateHistoryImage() {
  return Store(EmptyImage(history.width));
}

void AdvanceHistoryImage(int image, float load) {
  const auto found = history.images.find(image);
  if (found == history.images.end()) return;
  Canvas& canvas = found->second;
  const int w = canvas.width;
  for (int y = 0; y < canvas.height; ++y) {
    Pixel* line = canvas.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    std::copy(line + std::min(kHistoryStep, w), line + w, line);
  }
  // The strip's first two columns, unscaled.
  DrawBackground(canvas, w - kHistoryStep, kHistoryStep, history.background.width);
  const int bar = std::clamp(RoundHalfUp(load * 18.0f / 100.0f), 0, 18);
  // Row 18 lies below the picture: the visible bar is `bar` pixels high.
  for (int y = 18; y >= 18 - bar; --y)
    canvas.FillRect(w - kHistoryStep, y, kHistoryStep, 1,
                    MakePixel(static_cast<uint8_t>(255 - 14 * y), static_cast<uint8_t>(14 * y), 0));
  ++history.revision;
}

void FreeHistoryImage(int image) {
  if (history.images.erase(image)) ++history.revision;
}

void ResizeHistoryImages(RowStore& rows, int column, int width) {
  SetHistoryImageWidth(width);
  for (int row = 0; row < rows.RowCount(); ++row) {
    const int old = ImageOfRow(rows, row, column);
    const auto found = history.images.find(old);
    if (found == history.images.end()) continue;
    Canvas fresh = EmptyImage(history.width);
    DrawOver(fresh, found->second, history.width - found->second.width, 0);
    history.images.erase(found);
    rows.SetCellText(row, column, std::to_string(Store(std::move(fresh))));
  }
  ++history.revision;
}

void SwitchHistoryImages(RowStore& rows, int column, bool enabled) {
  for (int row = 0; row < rows.RowCount(); ++row) {
    const int image = ImageOfRow(rows, row, column);
    if (enabled) {
      if (!history.images.contains(image)) rows.SetCellText(row, column, std::to_string(CreateHistoryImage()));
    } else {
      FreeHistoryImage(image);
      rows.SetCellText(row, column, "0");
    }
  }
  if (!enabled) FreeAllHistoryImages();
}

void FreeAllHistoryImages() {
  history.images.clear();
  ++history.revision;
}

const Canvas* HistoryImage(int image) {
  const auto found = history.images.find(image);
  return found == history.images.end() ? nullptr : &found->second;
}

int HistoryImageCount() {
  return static_cast<int>(history.images.size());
}

uint64_t HistoryImagesRevision() {
  return history.revision;
}

}  // namespace velkor
