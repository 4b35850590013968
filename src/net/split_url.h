// Host and path of an "http://" URL, the way the fetch and the downloader cut it.
#pragma once

#include <string>
#include <string_view>

// Host is everything between the scheme and the first "/", taken whole (no port
// syntax); Path runs from that "/" to the end. Without a "/", Host is empty and
// Path is the rest.
void SplitUrl(std::string_view url, std::string& host, std::string& path);
