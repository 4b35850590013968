// Program-wide state: the paths computed at start-up, the settings accessor and
// the way every part of the program writes to the activity log.
#pragma once

#include <functional>
#include <string>

class IniSettings;

struct ProgramPaths {
  std::string ExePath;   // the running executable
  std::string ExeDir;    // its folder, ending with "\"
  std::string DataDir;   // application data + "Nimvara\"
  std::string SkinFile;  // "Skin" of the settings, else ExeDir + "default.skn"
};

ProgramPaths& Paths();

// The settings accessor; null before start-up opens it and after the close step.
IniSettings* Settings();
void SetSettings(IniSettings* settings);

// Appends a line to the activity log. Before the log exists, and after the
// close step, the line goes nowhere.
void Report(const std::string& message);
void SetReportSink(std::function<void(const std::string&)> sink);
