#include "net/fetch_body.h"

bool ReadWholeBody(const ReadChunk& read, std::string& body) {
  body.clear();
  char buffer[kFetchReadSize];
  std::size_t total = 0;
  for (;;) {
    const long n = read(buffer, sizeof(buffer));
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
    if (total > kFetchBodyLimit) {
      body.clear();
      return false;
    }
    body.append(buffer, static_cast<std::size_t>(n));
  }
  return total > 0;
}
