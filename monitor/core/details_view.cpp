#include "core/details_view.h"

#include "core/fixed_text.h"

DetailsView DetailsViewOf(const MonitorSettings& settings, const QuotaReading& reading,
                          const QuotaEvaluation& evaluation, const AccountBalance* balance,
                          const TooltipWords& tooltipWords) {
  DetailsView view;
  view.level = evaluation.level;
  view.percentUsed = evaluation.percentUsed;
  view.statusStringId = StatusStringId(view.level);

  view.parameterLine = FormatParameterLine(settings);
  view.watchedPath = BufferText(settings.watchedPath);
  view.loginName = BufferText(reading.loginName);
  view.serverName = BufferText(reading.serverName);
  view.serverPath = BufferText(reading.serverPath);
  view.percentText = FormatPercent(view.percentUsed);
  view.figures = FigureTextsOf(reading);

  if (balance != nullptr) view.balance = BalanceTextsOf(*balance);

  view.tooltipText =
      FormatTooltip(tooltipWords, view.percentUsed, view.watchedPath, view.figures.freeText);
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
