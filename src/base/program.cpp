#include "base/program.h"

namespace {

ProgramPaths gPaths;
IniSettings* gSettings = nullptr;
std::function<void(const std::string&)> gReportSink;

}  // namespace

ProgramPaths& Paths() { return gPaths; }

IniSettings* Settings() { return gSettings; }
void SetSettings(IniSettings* settings) { gSettings = settings; }

void Report(const std::string& message) {
  if (gReportSink) gReportSink(message);
}

void SetReportSink(std::function<void(const std::string&)> sink) { gReportSink = std::move(sink); }
