// The read loop of the fetch: chunks of a response body joined in order, bounded.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

inline constexpr std::size_t kFetchReadSize = 1025;
// No page the program fetches comes near this; an endless answer must not eat memory.
inline constexpr std::size_t kFetchBodyLimit = 8u << 20;

// Reads into `buffer` up to `size` bytes; the count read, 0 at the end, or -1 on failure.
using ReadChunk = std::function<long(char* buffer, std::size_t size)>;

// Replaces `body` with the chunks until a read fails or returns nothing. True when
// at least one byte came; false with `body` empty otherwise, and when the body
// grew beyond kFetchBodyLimit.
bool ReadWholeBody(const ReadChunk& read, std::string& body);
