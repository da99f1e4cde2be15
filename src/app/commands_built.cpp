#include "app/commands_built.h"

#include <algorithm>
#include <array>

namespace velkor {

namespace {

constexpr std::array kNotBuilt = {
    1,   2,   3,   4,                                                          // list exports
    20,                                                                        // preferences window
    22,                                                                        // run dialog
    107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121,  // window menu
    122, 123, 124, 125,
    126, 127, 128, 129, 130,                                                   // service menu
    131, 132,                                                                  // driver menu
    134,                                                                       // information window
};
static_assert(std::is_sorted(kNotBuilt.begin(), kNotBuilt.end()));

}  // namespace

bool IsCommandBuilt(int id) { return !std::binary_search(kNotBuilt.begin(), kNotBuilt.end(), id); }

std::span<const int> CommandsNotBuilt() { return kNotBuilt; }

}  // namespace velkor
