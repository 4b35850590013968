// The server catalogue as a reply describes it, checked before the program
// keeps any of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "directory/directory_reply.h"
#include "directory/server_catalogue.h"

// No list the user picks from needs more; entries after that many good ones are skipped.
inline constexpr std::size_t kMostCatalogueEntries = 10000;
// Skipped entries named one by one in the notes; the rest are only counted.
inline constexpr long long kMostSkipNotes = 10;

struct CatalogueBuild {
  // Only entries that passed every check, in reply order; empty when the reply
  // lists none or its count or port is unusable.
  std::vector<TServer> Servers;
  std::string ProxyPort;
  std::string ProxyUser;
  std::string ProxyPassword;
  // Log lines: what was skipped or refused, and why.
  std::vector<std::string> Notes;
};

// Reads "C", "P", "U", "K" and the entries. An entry that is empty, lacks its
// country digit, whose host fails the host check or that comes after
// kMostCatalogueEntries good ones is skipped; a count that is not a decimal
// number or a port outside 1..65535 refuses the whole catalogue. The first
// kMostSkipNotes skipped entries get a note each, and when more were skipped,
// one note gives their number in all. The work follows the reply's size, never
// the value of "C", and the notes stay short whatever the reply.
CatalogueBuild BuildCatalogue(const ReplyKeys& keys, std::string_view scrambleKey);

// "#3 IP Address Series" for entry 3.
std::string EntryCaption(long long number);
