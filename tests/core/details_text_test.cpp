#include "core/details_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "case_name.h"
#include "core/tooltip_text.h"

namespace {

struct MbCase {
  uint64_t kb;
  const char* text;
};

class CoreFormatMb : public testing::TestWithParam<MbCase> {};

TEST_P(CoreFormatMb, ShowsThousandsWithTwoDecimals) {
  EXPECT_EQ(FormatMb(GetParam().kb), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Vectors, CoreFormatMb,
                         testing::ValuesIn(std::vector<MbCase>{
                             {0, "0.00 Mb"},
                             {5, "0.01 Mb"},
                             {999, "1.00 Mb"},
                             {20000, "20.00 Mb"},
                             {48828, "48.83 Mb"},
                             {102400, "102.40 Mb"},
                             // unsigned: the largest figure is still positive
                             {0xFFFFFFFF, "4294967.29 Mb"},
                             // 0xFFFFFFFF blocks of 4 KB, the most the client gives
                             {0x3FFFFFFFCull, "17179869.18 Mb"}}));

TEST(CoreFormatPercent, IsDecimalAndPercentSign) {
  EXPECT_EQ(FormatPercent(80), "80%");
  EXPECT_EQ(FormatPercent(0), "0%");
  EXPECT_EQ(FormatPercent(-50), "-50%");
}

QuotaReading FullReading(int result) {
  QuotaReading reading;
  reading.result = result;
  reading.dirUsedKb = 1000;
  reading.dirLimitKb = 2000;
  reading.dirFreeKb = 1500;
  reading.volUsedKb = 4000;
  reading.volLimitKb = 5000;
  return reading;
}

struct FigureCase {
  const char* name;
  QuotaReading reading;
  FigureTexts texts;
};

class CoreFigureTexts : public testing::TestWithParam<FigureCase> {};

// The eight texts joined with "|", so one comparison shows them all.
std::string Joined(const FigureTexts& t) {
  return t.dirUsed + "|" + t.dirLimit + "|" + t.dirFree + "|" + t.volUsed + "|" + t.volLimit + "|" +
         t.volFree + "|" + t.freeText + "|" + t.maxText;
}

TEST_P(CoreFigureTexts, FollowTheKindOfRestriction) {
  EXPECT_EQ(Joined(FigureTextsOf(GetParam().reading)), Joined(GetParam().texts));
}

QuotaReading VolumeExceeded() {
  QuotaReading reading = FullReading(VolumeLimitOnly);
  reading.volUsedKb = 60000;
  reading.volLimitKb = 48828;
  return reading;
}

const FigureTexts kUnknownFigures{"??", "??", "??", "??", "??", "??", "", ""};

INSTANTIATE_TEST_SUITE_P(
    Results, CoreFigureTexts,
    testing::ValuesIn(std::vector<FigureCase>{
        {"Failed", FullReading(QueryFailed), kUnknownFigures},
        {"MissingOutput", FullReading(MissingOutput), kUnknownFigures},
        {"OutsideTheKnownResults", FullReading(9), kUnknownFigures},
        {"DirectoryOnly",
         FullReading(DirectoryLimitOnly),
         {"1.00 Mb", "2.00 Mb", "1.50 Mb", "4.00 Mb", "", "", "1.50 Mb", "2.00 Mb"}},
        {"VolumeOnly",
         FullReading(VolumeLimitOnly),
         {"1.00 Mb", "", "", "4.00 Mb", "5.00 Mb", "1.00 Mb", "1.00 Mb", "5.00 Mb"}},
        {"VolumeExceededShowsNoneFree",
         VolumeExceeded(),
         {"1.00 Mb", "", "", "60.00 Mb", "48.83 Mb", "0.00 Mb", "0.00 Mb", "48.83 Mb"}},
        {"Both",
         FullReading(BothLimits),
         {"1.00 Mb", "2.00 Mb", "1.50 Mb", "4.00 Mb", "5.00 Mb", "1.00 Mb", "", ""}},
        {"NoLimit", FullReading(NoLimit), {"1.00 Mb", "", "", "4.00 Mb", "", "", "", ""}}}),
    CaseName());

TEST(CoreFigureTexts, VolumeFullyUsedShowsNoneFree) {
  QuotaReading reading = FullReading(BothLimits);
  reading.volUsedKb = reading.volLimitKb;
  EXPECT_EQ(FigureTextsOf(reading).volFree, "0.00 Mb");
}

MonitorSettings Settings(const char* path, bool inPercent) {
  MonitorSettings settings;
  settings.thresholdsInPercent = inPercent;
  if (!inPercent) {
    settings.warnThreshold = 50;
    settings.dangerThreshold = 10;
  }
  std::snprintf(settings.watchedPath, sizeof(settings.watchedPath), "%s", path);
  return settings;
}

TEST(CoreParameterLine, ShowsTheThresholdsInTheirUnit) {
  EXPECT_EQ(FormatParameterLine(Settings("H:\\", true), CommandLineForm::WithUnit),
            "H:\\/300s/75%/95%");
  EXPECT_EQ(FormatParameterLine(Settings("H:\\", false), CommandLineForm::WithUnit),
            "H:\\/300s/50Mb/10Mb");
  EXPECT_EQ(FormatParameterLine(Settings("H:\\", false), CommandLineForm::PercentOnly),
            "H:\\/300s/50%/10%");
}

TEST(CoreParameterLine, IsCutAfter79Characters) {
  const std::string path(242, 'P');
  const std::string line =
      FormatParameterLine(Settings(path.c_str(), true), CommandLineForm::WithUnit);
  EXPECT_EQ(line, std::string(79, 'P'));
  const std::string fits(64, 'Q');  // 64 + "/300s/75%/95%" = 77
  EXPECT_EQ(FormatParameterLine(Settings(fits.c_str(), true), CommandLineForm::WithUnit),
            fits + "/300s/75%/95%");
}

const TooltipWords kEnglish{"Disk space used : ", "on", "free"};

TEST(CoreTooltip, ReadsAsTheEnglishExample) {
  EXPECT_EQ(FormatTooltip(kEnglish, 80, "H:\\", "20.00 Mb"),
            "Disk space used :  80% on H:\\ - 20.00 Mb free.");
}

TEST(CoreTooltip, HasAnEmptyFreePartWithoutFreeText) {
  EXPECT_EQ(FormatTooltip(kEnglish, 0, "H:\\", ""), "Disk space used :  0% on H:\\ -  free.");
}

TEST(CoreTooltip, IsCutAfter63Characters) {
  // 43 characters around the path: a path of 20 gives exactly 63.
  const std::string exact = FormatTooltip(kEnglish, 80, std::string(20, 'P'), "20.00 Mb");
  EXPECT_EQ(exact.size(), 63u);
  EXPECT_EQ(exact.back(), '.');
  const std::string cut = FormatTooltip(kEnglish, 80, std::string(21, 'P'), "20.00 Mb");
  EXPECT_EQ(cut, "Disk space used :  80% on " + std::string(21, 'P') + " - 20.00 Mb free");
}

}  // namespace
