// Synthetic tables for a test or benchmark installation: a realistic mix of
// owners (persons and companies, 1 to 20 estates each), estates (1 to 60
// units each, some with unit addresses of their own, some in the Canary
// Islands under the second VAT class), units of the series "A", "B" and "F"
// with every billing period and timing and mixes of fixed, extra and
// instalment concepts, the concept table, and a few remittances and
// collections. The same units and seed always give the same records.
#ifndef TORVANE_TOOLS_SYNTHETIC_TABLES_H_
#define TORVANE_TOOLS_SYNTHETIC_TABLES_H_

#include <cstdint>

#include "tools/table_description.h"

namespace torvane::kavdata {

// Estate codes and unit numbers are four digits and an estate holds at most
// 60 units.
constexpr long kMaxEstates = 9999;
constexpr long kMaxUnitsPerEstate = 60;
constexpr long kMaxSyntheticUnits = kMaxEstates * kMaxUnitsPerEstate;

// Exactly `units` unit records (REQUIRES: 1 <= units <= kMaxSyntheticUnits).
TableSet MakeSyntheticTables(long units, uint64_t seed);

}  // namespace torvane::kavdata

#endif  // TORVANE_TOOLS_SYNTHETIC_TABLES_H_
