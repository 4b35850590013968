// The first-run tour: which how-to page suits the default browser.
#pragma once

#include <string>
#include <string_view>

struct TourRow {
  const char* testText;  // empty for the last row, which takes every browser
  const char* notice;
  const char* pagePath;
};

// The first row whose test text occurs in the lower-cased default-browser text.
const TourRow& TourFor(std::string_view defaultBrowser);

// "http://" + host + path.
std::string VendorPageUrl(std::string_view host, std::string_view path);
