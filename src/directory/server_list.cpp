#include "directory/server_list.h"

#include <random>

std::vector<ServerListRow> ServerListRows(const std::vector<TServer>& servers) {
  std::size_t runs = 0;
  for (std::size_t i = 0; i < servers.size(); ++i)
    if (i == 0 || servers[i].Country != servers[i - 1].Country) ++runs;
  std::vector<ServerListRow> rows;
  rows.reserve(servers.size() + runs);
  for (std::size_t i = 0; i < servers.size(); ++i) {
    const TServer& entry = servers[i];
    if (i == 0 || entry.Country != servers[i - 1].Country) {
      ServerListRow heading;
      heading.Text = CountryName(entry.Country);
      heading.Heading.Country = entry.Country;
      heading.Heading.IsCountryRow = true;
      rows.push_back(std::move(heading));
    }
    rows.push_back(ServerListRow{"  " + entry.Caption, {}, &entry});
  }
  return rows;
}

std::string ServerLabel(const TServer& server) {
  return CountryName(server.Country) + " #" + std::to_string(server.Number);
}

std::optional<CountryRun> FirstCountryRun(const std::vector<TServer>& servers, int country) {
  std::size_t first = 0;
  while (first < servers.size() && servers[first].Country != country) ++first;
  if (first == servers.size()) return std::nullopt;
  std::size_t last = first;
  while (last + 1 < servers.size() && servers[last + 1].Country == country) ++last;
  return CountryRun{first, last};
}

std::size_t DrawInRun(const CountryRun& run, std::uint64_t seed) {
  std::mt19937_64 generator(seed);
  return std::uniform_int_distribution<std::size_t>(run.First, run.Last)(generator);
}
