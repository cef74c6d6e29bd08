// The entries of the text table, as written in untInstalTekstyTabela.cpp (internal).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "config/untInstalTeksty.h"

namespace orvala::detail {

struct TWpisTekstu {
  int id;
  std::array<std::string_view, kLiczbaKolumn> columns;
  std::u8string_view russianSource;  // the Russian text as written, for the round-trip check
};

extern const TWpisTekstu kWpisyTekstow[];
extern const std::size_t kLiczbaWpisowTekstow;

}  // namespace orvala::detail
