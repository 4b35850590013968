// The tray icon's images, drawn at any size: a globe that spins while busy,
// green when a session is on, grey and struck through when off. A dark rim and
// white lines keep it readable on light and dark taskbars alike.
#pragma once

#include <cstdint>
#include <vector>

enum class TrayArt { Busy, On, Off };

// size * size pixels, top row first, 0xAARRGGBB with straight (not
// premultiplied) alpha. `frame` matters for Busy only (0..6, taken modulo 7).
std::vector<std::uint32_t> DrawTrayArt(TrayArt art, int frame, int size);
