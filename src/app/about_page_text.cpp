#include "app/about_page_text.h"

#include "base/settings_keys.h"

std::string AppNameCaption(std::string_view version) {
  return std::string(kProgramName) + " " + std::string(version);
}

int CentredLeft(int pageWidth, int labelWidth) { return (pageWidth - labelWidth) / 2; }

AboutLink WebsiteLink(std::string_view vendorHost) {
  const std::string home = "http://" + std::string(vendorHost) + "/";
  return {home, home};
}

AboutLink ContactUsLink(std::string_view vendorHost) {
  return {"Contact Us", "http://" + std::string(vendorHost) + "/contact.php"};
}

AboutLink IpCheckLink(std::string_view ipCheckHost) {
  return {"SEE my IP - " + std::string(ipCheckHost), "http://" + std::string(ipCheckHost) + "/"};
}
