// One poll as the monitor shows it: every text, figure, colour choice and
// status of one reading, computed once, then shown by the details window and
// read by the tooltip, the alert and the notification.
#pragma once

#include <cstdint>
#include <string>

#include "core/alert.h"
#include "core/balance_text.h"
#include "core/details_text.h"
#include "core/level_notification.h"
#include "core/monitor_settings.h"
#include "core/quota_evaluation.h"
#include "core/status_level.h"
#include "core/quota_types.h"
#include "core/tooltip_text.h"

// The program's words a view is made of, loaded once in the user's language.
struct ViewWords {
  // The tooltip's three words (see TooltipWords).
  std::string usedLabel;
  std::string onWord;
  std::string freeWord;
  std::string programTitle;
  // The status sentence of each level, unknown first: ok, warning and danger
  // follow at their level plus one.
  std::string statusSentences[4];
};

struct DetailsView {
  StatusLevel level = LevelUnknown;
  int32_t percentUsed = 0;  // also the progress bar's position, range 1..100
  std::string statusText;   // the status sentence

  std::string parameterLine;
  std::string watchedPath;
  std::string loginName;
  std::string serverName;
  std::string serverPath;
  std::string percentText;
  FigureTexts figures;  // the six figures, and the free and limit texts

  // Without a balance (a Windows drive) both texts are empty and the colour
  // is left as it is.
  BalanceTexts balance;

  std::string tooltipText;
  // What a notification at a rise to this level says.
  NotificationText notification;
};

// The view of `reading` (already marked when it failed), its evaluation and
// the balance, nullptr when the reading source has none.
DetailsView DetailsViewOf(const MonitorSettings& settings, const QuotaReading& reading,
                          const QuotaEvaluation& evaluation, const AccountBalance* balance,
                          const ViewWords& words);

// The fields of the alert that this view's poll may send.
AlertFields AlertFieldsOf(const DetailsView& view);
