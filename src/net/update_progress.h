// The update dialog's percentage caption.
#pragma once

#include <cstdint>
#include <string>

// "0%" to "100%": the share of `total` read so far; "0%" while no total is known.
std::string ProgressCaption(std::int32_t total, std::int32_t readed);
