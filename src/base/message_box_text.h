// What the program's message box holds and how it is laid out, apart from drawing it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class MessageKind { Warning, Error, Information, Confirmation, None };

// The buttons a box may carry; a set is an OR of these.
enum MessageButton : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbNoToAll = 1u << 8,
  mbYesToAll = 1u << 9,
};

inline constexpr int kResultOK = 1;
inline constexpr int kResultCancel = 2;

struct ButtonSpec {
  MessageButton button;
  int result;
  // The system's localised caption when it has one (an index for user32's
  // MB_GetString, -1 for none), otherwise `caption`.
  int systemStringIndex;
  const char* caption;
};

// The set's buttons in the box's fixed order: Yes, No, OK, Cancel, Abort, Retry,
// Ignore, All, No to All, Yes to All.
std::vector<ButtonSpec> ButtonsInOrder(unsigned buttonSet);

// What Ctrl+C puts on the clipboard. Ampersands of the captions are dropped.
std::string MessageBoxClipboardText(std::string_view caption, std::string_view text,
                                    const std::vector<std::string>& buttonCaptions);

struct BoxRect {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
};

struct MessageBoxLayout {
  BoxRect icon;  // width 0 when the kind has no icon
  BoxRect text;
  std::vector<BoxRect> buttons;
  int clientWidth = 0, clientHeight = 0;
};

inline constexpr int kBoxMargin = 16;
inline constexpr int kBoxIconSize = 32;
inline constexpr int kBoxButtonWidth = 73;
inline constexpr int kBoxButtonHeight = 25;
inline constexpr int kBoxButtonPitch = 93;
inline constexpr int kBoxButtonGap = 20;

// The icon at the left, the text beside it (at the left edge without an icon),
// the buttons in a row at the bottom right, 20 pixels below the lower of the two.
MessageBoxLayout LayOutMessageBox(bool hasIcon, int textWidth, int textHeight, int buttonCount);
