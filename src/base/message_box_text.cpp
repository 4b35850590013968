#include "base/message_box_text.h"

#include <algorithm>

namespace {

constexpr ButtonSpec kAllButtons[] = {
    {mbYes, 6, 5, "&Yes"},          {mbNo, 7, 6, "&No"},
    {mbOK, 1, 0, "OK"},             {mbCancel, 2, 1, "Cancel"},
    {mbAbort, 3, 2, "&Abort"},      {mbRetry, 4, 3, "&Retry"},
    {mbIgnore, 5, 4, "&Ignore"},    {mbAll, 8, -1, "&All"},
    {mbNoToAll, 9, -1, "N&o to All"}, {mbYesToAll, 10, -1, "Yes to &All"},
};

const std::string kRule(27, '-');

}  // namespace

std::vector<ButtonSpec> ButtonsInOrder(unsigned buttonSet) {
  std::vector<ButtonSpec> buttons;
  for (const ButtonSpec& entry : kAllButtons)
    if (buttonSet & entry.button) buttons.push_back(entry);
  return buttons;
}

std::string MessageBoxClipboardText(std::string_view caption, std::string_view text,
                                    const std::vector<std::string>& buttonCaptions) {
  std::string captions;
  for (const std::string& c : buttonCaptions) {
    if (!captions.empty()) captions += "   ";
    for (char ch : c)
      if (ch != '&') captions += ch;
  }
  std::string out;
  for (std::string_view line : {std::string_view(kRule), caption, std::string_view(kRule), text,
                                std::string_view(kRule), std::string_view(captions)}) {
    out += line;
    out += "\r\n";
  }
  out += kRule;
  return out;
}

MessageBoxLayout LayOutMessageBox(bool hasIcon, int textWidth, int textHeight, int buttonCount) {
  MessageBoxLayout layout;
  if (hasIcon) layout.icon = {kBoxMargin, kBoxMargin, kBoxIconSize, kBoxIconSize};
  const int textLeft = hasIcon ? layout.icon.right() + kBoxMargin : kBoxMargin;
  // A one-line text sits level with the middle of the icon.
  const int textTop =
      hasIcon && textHeight < kBoxIconSize ? kBoxMargin + (kBoxIconSize - textHeight) / 2 : kBoxMargin;
  layout.text = {textLeft, textTop, textWidth, textHeight};

  const int contentBottom = std::max(layout.icon.bottom(), layout.text.bottom());
  const int buttonsTop = contentBottom + kBoxButtonGap;
  const int rowWidth =
      buttonCount > 0 ? (buttonCount - 1) * kBoxButtonPitch + kBoxButtonWidth : 0;
  layout.clientWidth = std::max(layout.text.right(), kBoxMargin + rowWidth) + kBoxMargin;
  layout.clientHeight = buttonsTop + (buttonCount > 0 ? kBoxButtonHeight : 0) + kBoxMargin;

  const int firstLeft = layout.clientWidth - kBoxMargin - rowWidth;
  for (int i = 0; i < buttonCount; ++i)
    layout.buttons.push_back(
        {firstLeft + i * kBoxButtonPitch, buttonsTop, kBoxButtonWidth, kBoxButtonHeight});
  return layout;
}
