// The texts a hide session hands to the switchboard and the verification, and
// how it judges the IP-check site's answers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every bypass line followed by ",", then both fixed hosts, each bare and with
// "www.", each followed by ",". Lines are taken as they are, empty ones too.
std::string BypassText(const std::vector<std::string>& lines, std::string_view fixedHost1,
                       std::string_view fixedHost2);

// "host:port" of the current entry.
std::string ProxyText(std::string_view address, std::string_view port);

// "http://" + host + "/ok.htm".
std::string VerifyUrl(std::string_view ipCheckHost);

// Verified only by a body of exactly "OK".
bool IsVerifiedBody(std::string_view body);
// The proxy refuses this user: "Access Denied" anywhere in the body.
bool IsAccessDenied(std::string_view body);
