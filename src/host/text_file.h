// Whole-file reads and writes of the small text files the program reads and owns.
#pragma once

#include <optional>
#include <string>

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
// Empty when the file cannot be read.
std::string ReadWholeFile(const std::string& path);
// For a file that must not be lost: false when it is there but cannot be read
// whole; `bytes` is none when there is no such file.
bool ReadFileIfAny(const std::string& path, std::optional<std::string>& bytes);
// Replaces the file's whole content, or leaves the file as it was: the bytes go
// to a fresh file beside it, which then takes its place.
bool ReplaceFileWhole(const std::string& path, const std::string& bytes);
