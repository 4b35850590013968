// What the browser back-ends tell the user (always in a box titled "Nimvara").
#pragma once

inline constexpr const char* kFirefoxChangeFailedText = "Can not change Firefox proxy settings!";
inline constexpr const char* kFirefoxRestartText =
    "Please Restart all Firefox windows in order to make Nimvara take effect.";
// A proxy address that is not host:port is never handed to a browser.
inline constexpr const char* kInvalidProxyText =
    "Invalid proxy server address. The browser proxy settings were not changed.";
inline constexpr const char* kInvalidProxyLogPrefix = "Invalid proxy server address: ";
