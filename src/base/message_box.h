// The program's own modal message box, built from standard controls.
#pragma once

#include <string>

#include "base/message_box_text.h"

// Returns the result of the button that closed the box (1 OK, 2 Cancel, 6 Yes...).
int ShowMessageBox(const std::string& title, const std::string& text, MessageKind kind,
                   unsigned buttons);

// The tour's notice: the same box with the warning icon and one "&OK" button.
void ShowNotice(const std::string& title, const std::string& text);

// For a run that shows no window at all (the restore switch): every box is
// left out and answers 0.
void SetMessageBoxesSilent(bool silent);
