#include "core/details_view.h"

#include "core/fixed_text.h"

namespace {

// Any value outside ok..danger reads as unknown.
const std::string& StatusSentence(const ViewWords& words, StatusLevel level) {
  const bool known = level >= LevelOk && level <= LevelDanger;
  return words.statusSentences[known ? level + 1 : 0];
}

}  // namespace

DetailsView DetailsViewOf(const MonitorSettings& settings, const QuotaReading& reading,
                          const QuotaEvaluation& evaluation, const AccountBalance* balance,
                          const ViewWords& words) {
  DetailsView view;
  view.level = evaluation.level;
  view.percentUsed = evaluation.percentUsed;
  view.statusText = StatusSentence(words, view.level);

  view.parameterLine = FormatParameterLine(settings);
  view.watchedPath = BufferText(settings.watchedPath);
  view.loginName = BufferText(reading.loginName);
  view.serverName = BufferText(reading.serverName);
  view.serverPath = BufferText(reading.serverPath);
  view.percentText = FormatPercent(view.percentUsed);
  view.figures = FigureTextsOf(reading);

  if (balance != nullptr) view.balance = BalanceTextsOf(*balance);

  const TooltipWords tooltipWords{words.usedLabel, words.onWord, words.freeWord};
  view.tooltipText =
      FormatTooltip(tooltipWords, view.percentUsed, view.watchedPath, view.figures.freeText);
  // The tooltip's line whole: the notification has room for a long path that
  // the tooltip cuts.
  view.notification = ComposeNotification(
      view.level, words.programTitle, view.statusText,
      FormatTooltipLine(tooltipWords, view.percentUsed, view.watchedPath, view.figures.freeText));
  return view;
}

AlertFields AlertFieldsOf(const DetailsView& view) {
  AlertFields fields;
  fields.level = view.level;
  fields.loginName = view.loginName;
  fields.percentUsed = view.percentUsed;
  fields.freeText = view.figures.freeText;
  fields.maxText = view.figures.maxText;
  return fields;
}
