#include "directory/directory_request.h"

#include "nimvara_config.h"

std::string VersionDigits(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && ((text[n] >= '0' && text[n] <= '9') || text[n] == '.')) ++n;
  return std::string(text.substr(0, n));
}

bool UpdateVerify(std::string_view reply) {
  return reply.find("B=1") != std::string_view::npos && reply.find("E=1") != std::string_view::npos;
}

std::string DirectoryRequestUrl(const std::string& baseUrl, const DirectoryQuery& query, int attempt) {
  return baseUrl + kDirectoryPath + "?id=" + query.InstallId + "&productid=" + std::to_string(kProductId) +
         "&version=" + query.Version + "&language=" + std::to_string(query.Language) +
         "&i=" + std::to_string(attempt);
}

std::array<std::string, kDirectoryAttempts> DirectoryBaseUrls() {
  using namespace nimvara::config;
  return {std::string("http://") + kVendorHost, std::string("http://") + kDirectoryFallback1,
          std::string("http://") + kDirectoryFallback2};
}
