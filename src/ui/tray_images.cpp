#include "ui/tray_images.h"

#include <cstring>
#include <vector>

UniqueIcon MakeTrayIcon(TrayArt art, int frame, int size) {
  const std::vector<std::uint32_t> pixels = DrawTrayArt(art, frame, size);
  if (pixels.empty()) return {};

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first, as drawn
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueGdiObject colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!colour || !bits) return {};
  std::memcpy(bits, pixels.data(), pixels.size() * sizeof(pixels[0]));

  // The mask says "transparent" where the art has no coverage at all, for
  // whoever draws the icon without its alpha.
  const int stride = ((size + 15) / 16) * 2;
  std::vector<unsigned char> maskBits(static_cast<std::size_t>(stride) * size, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if ((pixels[static_cast<std::size_t>(y) * size + x] >> 24) == 0)
        maskBits[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
  UniqueGdiObject mask(CreateBitmap(size, size, 1, 1, maskBits.data()));
  if (!mask) return {};

  ICONINFO icon{};
  icon.fIcon = TRUE;
  icon.hbmMask = static_cast<HBITMAP>(mask.get());
  icon.hbmColor = static_cast<HBITMAP>(colour.get());
  return UniqueIcon(CreateIconIndirect(&icon));  // copies both bitmaps
}
