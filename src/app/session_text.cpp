#include "app/session_text.h"

std::string BypassText(const std::vector<std::string>& lines, std::string_view fixedHost1,
                       std::string_view fixedHost2) {
  std::string text;
  for (const std::string& line : lines) text += line + ",";
  for (std::string_view host : {fixedHost1, fixedHost2}) {
    text += std::string(host) + ",";
    text += "www." + std::string(host) + ",";
  }
  return text;
}

std::string ProxyText(std::string_view address, std::string_view port) {
  return std::string(address) + ":" + std::string(port);
}

std::string VerifyUrl(std::string_view ipCheckHost) { return "http://" + std::string(ipCheckHost) + "/ok.htm"; }

bool IsVerifiedBody(std::string_view body) { return body == "OK"; }

bool IsAccessDenied(std::string_view body) { return body.find("Access Denied") != std::string_view::npos; }
