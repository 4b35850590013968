// Times what a catalogue of N entries costs the program: the reply read into
// the catalogue, and the selection list built from it in a real (hidden)
// dialog, as the program does both.
//   catalogue_bench <repetitions> <N>...   prints "N parse_ms list_ms" per run
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "directory/catalogue_build.h"
#include "directory/directory_reply.h"
#include "directory/frm_select_ip.h"
#include "directory/server_catalogue.h"
#include "nimvara_config.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A reply as the directory sends it: two countries in runs of ten, hosts on loopback.
std::string Reply(int entries, const std::string& key) {
  std::string reply = "B=1\r\nC=" + std::to_string(entries) + "\r\nP=" + Unscramble("8080", key) +
                      "\r\nU=" + Unscramble("nimvara", key) + "\r\nK=" + HalfReverse("umbrix") + "\r\n";
  for (int n = 1; n <= entries; ++n) {
    const std::string host = "127.1." + std::to_string((n >> 8) & 255) + "." + std::to_string(n & 255);
    reply += std::to_string(n) + "=" + std::to_string(1 + (n / 10) % 2) + Unscramble(host, key) + "\r\n";
  }
  return reply + "E=1\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: catalogue_bench <repetitions> <N>...\n");
    return 2;
  }
  const int repetitions = std::atoi(argv[1]);
  const std::string key(1, nimvara::config::kScrambleKey);
  for (int a = 2; a < argc; ++a) {
    const int entries = std::atoi(argv[a]);
    const std::string reply = Reply(entries, key);
    for (int r = 0; r < repetitions; ++r) {
      auto start = Clock::now();
      const ReplyKeys keys(reply);
      CatalogueBuild build = BuildCatalogue(keys, key);
      Catalogue().Servers = std::move(build.Servers);
      const double parseMs = MsSince(start);
      if (Catalogue().Servers.size() != static_cast<std::size_t>(entries)) {
        std::fprintf(stderr, "catalogue_bench: %zu of %d entries kept\n", Catalogue().Servers.size(), entries);
        return 1;
      }
      start = Clock::now();
      double listMs = 0;
      {
        TfrmSelectIP form;
        if (!form.BuildList(true)) return 1;
        listMs = MsSince(start);
      }
      std::printf("%d %.2f %.2f\n", entries, parseMs, listMs);
      std::fflush(stdout);
    }
  }
  return 0;
}
