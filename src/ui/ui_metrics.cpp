#include "ui/ui_metrics.h"

#include <cstring>

#include "base/fixed_text.h"

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

UniqueGdiObject MakeFont(const char* face, int pixelHeight, int dpi, bool bold, bool underline) {
  LOGFONTA font{};
  font.lfHeight = -Scaled(pixelHeight, dpi);  // character height, not cell height
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  CopyBounded(font.lfFaceName, face);
  return UniqueGdiObject(CreateFontIndirectA(&font));
}

SIZE TextSize(HWND window, HFONT font, const char* text) {
  SIZE size{0, 0};
  HDC dc = GetDC(window);
  if (!dc) return size;
  const HGDIOBJ old = SelectObject(dc, font);
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}
