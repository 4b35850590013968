// What the selection dialog lists and picks, decided without the dialog: the
// rows built from the catalogue, a country's range and the draw within it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directory/server_catalogue.h"

// One row of lsbSelectIP. A heading row owns the TServer made for it; an entry
// row refers to the catalogue's entry, which keeps it.
struct ServerListRow {
  std::string Text;
  TServer Heading;
  const TServer* Entry = nullptr;
  const TServer& Object() const { return Entry ? *Entry : Heading; }
};

// A heading row opens every run of adjacent entries of one country; entry rows
// carry the caption indented by two blanks. Catalogue order, never sorted.
std::vector<ServerListRow> ServerListRows(const std::vector<TServer>& servers);

// "United States #3": the country name, " #" and the entry's number.
std::string ServerLabel(const TServer& server);

// Positions in Servers, both ends included.
struct CountryRun {
  std::size_t First = 0;
  std::size_t Last = 0;
  bool operator==(const CountryRun&) const = default;
};

// The first run of adjacent entries of the country; none when no entry has it.
std::optional<CountryRun> FirstCountryRun(const std::vector<TServer>& servers, int country);

// A position of the run drawn uniformly by a generator seeded with `seed`.
std::size_t DrawInRun(const CountryRun& run, std::uint64_t seed);
