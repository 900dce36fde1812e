#include "whole_append.h"

int appendWhole(AppendTarget& file, const std::string& record, std::int64_t lengthBefore,
                int noSpaceError) {
  std::size_t written = 0;
  int error = 0;
  while (written < record.size() && error == 0) {
    const std::size_t now = file.write(record.data() + written, record.size() - written, &error);
    written += now;
    if (now == 0 && error == 0) error = noSpaceError;
  }
  if (error == 0 || written == 0 || lengthBefore < 0) return error;
  std::int64_t lengthAfter = 0;
  if (file.length(&lengthAfter) &&
      lengthAfter == lengthBefore + static_cast<std::int64_t>(written)) {
    file.truncate(lengthBefore);
  }
  return error;
}
