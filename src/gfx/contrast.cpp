#include "gfx/contrast.h"

namespace velkor {

namespace {
std::optional<ContrastColours> current;
}  // namespace

const ContrastColours* HighContrast() { return current ? &*current : nullptr; }

void SetHighContrast(std::optional<ContrastColours> colours) { current = colours; }

}  // namespace velkor
