#include "core/monitor_settings.h"

#include "core/fixed_text.h"

std::string WindowClassName(const MonitorSettings& settings) {
  std::string name = kWindowClassPrefix;
  name += BufferText(settings.watchedPath);
  return name;
}
