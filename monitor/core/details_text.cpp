#include "core/details_text.h"

#include "core/fixed_text.h"
#include "core/text_format.h"

namespace {

constexpr char kUnknownFigure[] = "??";

std::string VolumeFreeText(const QuotaReading& reading) {
  if (reading.volUsedKb >= reading.volLimitKb) return FormatMb(0);
  return FormatMb(reading.volLimitKb - reading.volUsedKb);
}

}  // namespace

std::string FormatMb(uint32_t kb) { return FormatText("%.2lf Mb", kb / 1000.0); }

std::string FormatPercent(int32_t percent) { return FormatText("%d%%", percent); }

FigureTexts FigureTextsOf(const QuotaReading& reading) {
  FigureTexts texts;
  switch (reading.result) {
    case DirectoryLimitOnly:
      texts.dirUsed = FormatMb(reading.dirUsedKb);
      texts.dirLimit = FormatMb(reading.dirLimitKb);
      texts.dirFree = FormatMb(reading.dirFreeKb);
      texts.volUsed = FormatMb(reading.volUsedKb);
      texts.freeText = texts.dirFree;
      texts.maxText = texts.dirLimit;
      break;
    case VolumeLimitOnly:
      texts.dirUsed = FormatMb(reading.dirUsedKb);
      texts.volUsed = FormatMb(reading.volUsedKb);
      texts.volLimit = FormatMb(reading.volLimitKb);
      texts.volFree = VolumeFreeText(reading);
      texts.freeText = texts.volFree;
      texts.maxText = texts.volLimit;
      break;
    case BothLimits:
      texts.dirUsed = FormatMb(reading.dirUsedKb);
      texts.dirLimit = FormatMb(reading.dirLimitKb);
      texts.dirFree = FormatMb(reading.dirFreeKb);
      texts.volUsed = FormatMb(reading.volUsedKb);
      texts.volLimit = FormatMb(reading.volLimitKb);
      texts.volFree = VolumeFreeText(reading);
      break;
    case NoLimit:
      texts.dirUsed = FormatMb(reading.dirUsedKb);
      texts.volUsed = FormatMb(reading.volUsedKb);
      break;
    default:  // a failed reading: its figures may be stale
      texts.dirUsed = texts.dirLimit = texts.dirFree = kUnknownFigure;
      texts.volUsed = texts.volLimit = texts.volFree = kUnknownFigure;
      break;
  }
  return texts;
}

std::string FormatParameterLine(const MonitorSettings& settings, CommandLineForm form) {
  const bool inPercent = form == CommandLineForm::PercentOnly || settings.thresholdsInPercent;
  const std::string path(BufferText(settings.watchedPath));
  std::string line =
      FormatText(inPercent ? "%s/%ds/%d%%/%d%%" : "%s/%ds/%dMb/%dMb", path.c_str(),
                 settings.pollSeconds, settings.warnThreshold, settings.dangerThreshold);
  if (line.size() > kMaxParameterLineLength) line.resize(kMaxParameterLineLength);
  return line;
}

std::string FormatParameterLine(const MonitorSettings& settings) {
  return FormatParameterLine(settings, kCommandLineForm);
}
