#include "app/tour_table.h"

#include <array>

#include "base/ascii_lower.h"

namespace {

constexpr std::array<TourRow, 4> kTour{{
    {"firefox",
     "Nimvara detected you default browser is Firefox. We'll show you how to use Nimvara with Firefox.",
     "/umbrix-with-firefox.htm"},
    {"iexplore",
     "Nimvara detected you default browser is Internet Explorer. We'll show you how to use Nimvara with "
     "Internet Explorer.",
     "/umbrix-with-internet-explorer.htm"},
    {"opera", "Nimvara detected you default browser is Opera. We'll show you how to use Nimvara with Opera.",
     "/umbrix-with-opera.htm"},
    {"",
     "Nimvara detected you default browser is other browser. We'll show you how to use Nimvara with other "
     "browser.",
     "/umbrix-with-other-browser.htm"},
}};

}  // namespace

const TourRow& TourFor(std::string_view defaultBrowser) {
  const std::string lower = AsciiLower(defaultBrowser);
  for (const TourRow& row : kTour)
    if (lower.find(row.testText) != std::string::npos) return row;  // "" always matches
  return kTour.back();
}

std::string VendorPageUrl(std::string_view host, std::string_view path) {
  return "http://" + std::string(host) + std::string(path);
}
