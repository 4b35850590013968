// The server catalogue of the directory reply: program-wide, filled at most once
// per run and kept to the end. The hide session and the selection read it.
#pragma once

#include <string>
#include <vector>

// One catalogue entry, or a country heading row of the selection list.
struct TServer {
  std::string Caption;  // "#3 IP Address Series"; empty on a heading row
  std::string Address;  // proxy host, descrambled; empty on a heading row
  int Country = 0;      // country index 0..9
  int Number = 0;       // the entry's key in the reply; 0 on a heading row
  bool IsCountryRow = false;
};

struct ServerCatalogue {
  std::vector<TServer> Servers;  // reply order; never resized once filled
  long long ServerCount = 0;     // the reply's "C"
  std::string ProxyPort;
  std::string ProxyUser;
  std::string ProxyPassword;
  const TServer* CurrentServer = nullptr;  // points into Servers, or none
};

// The one catalogue of the program run.
ServerCatalogue& Catalogue();

// "United States" for 1, "United Kingdom" for 2, "Unknown" for any other index.
std::string CountryName(int country);
