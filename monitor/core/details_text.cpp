#include "core/details_text.h"

#include "core/fixed_text.h"
#include "core/quota_evaluation.h"
#include "core/text_format.h"

namespace {

constexpr char kUnknownFigure[] = "??";

}  // namespace

std::string FormatMb(uint64_t kb) {
  return FormatText("%.2lf Mb", static_cast<double>(kb) / 1000.0);
}

std::string FormatPercent(int32_t percent) { return FormatText("%d%%", percent); }

FigureTexts FigureTextsOf(const QuotaReading& reading) {
  FigureTexts texts;
  const QuotaFigures figures = FiguresOf(reading);
  switch (reading.result) {
    case DirectoryLimitOnly:
      texts.dirUsed = FormatMb(figures.dirUsedKb);
      texts.dirLimit = FormatMb(figures.dirLimitKb);
      texts.dirFree = FormatMb(figures.dirFreeKb);
      texts.volUsed = FormatMb(figures.volUsedKb);
      texts.freeText = texts.dirFree;
      texts.maxText = texts.dirLimit;
      break;
    case VolumeLimitOnly:
      texts.dirUsed = FormatMb(figures.dirUsedKb);
      texts.volUsed = FormatMb(figures.volUsedKb);
      texts.volLimit = FormatMb(figures.volLimitKb);
      texts.volFree = FormatMb(figures.volFreeKb);
      texts.freeText = texts.volFree;
      texts.maxText = texts.volLimit;
      break;
    case BothLimits:
      texts.dirUsed = FormatMb(figures.dirUsedKb);
      texts.dirLimit = FormatMb(figures.dirLimitKb);
      texts.dirFree = FormatMb(figures.dirFreeKb);
      texts.volUsed = FormatMb(figures.volUsedKb);
      texts.volLimit = FormatMb(figures.volLimitKb);
      texts.volFree = FormatMb(figures.volFreeKb);
      break;
    case NoLimit:
      texts.dirUsed = FormatMb(figures.dirUsedKb);
      texts.volUsed = FormatMb(figures.volUsedKb);
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
