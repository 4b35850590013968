// The directory request and its reply.
#pragma once

#include <string>

// Asks the directory servers in turn; the reply text, or empty when none answered.
std::string SilentUpdate();
// Reads a reply: notices, the new-version flag and the server catalogue.
void ProcessUpdate(const std::string& reply);
