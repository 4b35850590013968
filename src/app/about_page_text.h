// The About page's texts and the one layout decision it makes at start-up.
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* kMakerName = "Nimvara Labs";

// "Nimvara " + version.
std::string AppNameCaption(std::string_view version);

// Left edge that centres a label on a page: (page - label) / 2, toward zero.
int CentredLeft(int pageWidth, int labelWidth);

struct AboutLink {
  std::string caption;
  std::string url;
};

AboutLink WebsiteLink(std::string_view vendorHost);
AboutLink ContactUsLink(std::string_view vendorHost);
// The IP-check site goes by its host name; "SEE my &IP..." opens the same page.
AboutLink IpCheckLink(std::string_view ipCheckHost);
