// The server catalogue as a reply describes it, checked before the program
// keeps any of it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "directory/directory_reply.h"
#include "directory/server_catalogue.h"

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
// country digit or whose host fails the host check is skipped; a count that is
// not a decimal number or a port outside 1..65535 refuses the whole catalogue.
// The work follows the reply's size, never the value of "C".
CatalogueBuild BuildCatalogue(const ReplyKeys& keys, std::string_view scrambleKey);

// "#3 IP Address Series" for entry 3.
std::string EntryCaption(long long number);
