#include "app/commands_built.h"

#include <algorithm>
#include <array>

namespace velkor {

namespace {

constexpr std::array<int, 0> kNotBuilt{};
static_assert(std::is_sorted(kNotBuilt.begin(), kNotBuilt.end()));

}  // namespace

bool IsCommandBuilt(int id) { return !std::binary_search(kNotBuilt.begin(), kNotBuilt.end(), id); }

std::span<const int> CommandsNotBuilt() { return kNotBuilt; }

}  // namespace velkor
