#include "net/update_progress.h"

std::string ProgressCaption(std::int32_t total, std::int32_t readed) {
  std::int64_t percent = 0;
  if (total > 0 && readed > 0) percent = static_cast<std::int64_t>(readed) * 100 / total;
  if (percent > 100) percent = 100;
  return std::to_string(percent) + "%";
}
