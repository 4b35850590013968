// The fixed version that a program file's version resource states.
#pragma once

#include <optional>
#include <string>

#include "net/fixed_version.h"

// Nothing when the file has no readable version resource.
std::optional<FixedVersion> ReadFileVersion(const std::string& path);

// The running program's own.
std::optional<FixedVersion> OwnFileVersion();
