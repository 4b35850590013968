// The directory request: its URL and the acceptance test of a reply.
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr const char* kDirectoryPath = "/update-nimvara.php";
inline constexpr int kProductId = 4;
inline constexpr const char* kVersionTag = "77";
inline constexpr int kDirectoryAttempts = 3;

// The leading run of digits and dots: "1.05" for "1.05 beta".
std::string VersionDigits(std::string_view text);
// A reply is accepted when it holds both markers anywhere.
bool UpdateVerify(std::string_view reply);

// What every attempt of one run sends; only the base URL and the index change.
struct DirectoryQuery {
  std::string InstallId;
  std::string Version;  // VersionDigits + tag: "1.0577"
  unsigned Language = 0;
};

std::string DirectoryRequestUrl(const std::string& baseUrl, const DirectoryQuery& query, int attempt);
// "http://" + vendor host, then the two fallback addresses, from the build.
std::array<std::string, kDirectoryAttempts> DirectoryBaseUrls();
