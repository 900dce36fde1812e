// The export-table check of the client binding over small images built here:
// which ordinals a library really exports, and headers that lie about their
// own bounds, which must be refused without reading past the image.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "netware/client_libraries/export_table.h"

namespace {

constexpr size_t kImageSize = 0x2000;
constexpr size_t kHeaderBytes = 0x1000;
constexpr size_t kPe = 0x80;
constexpr size_t kOptional = kPe + 24;
constexpr size_t kExports = 0x1000;
constexpr size_t kFunctions = 0x1040;
constexpr uint32_t kBase = 1002;

void Put16(std::vector<unsigned char>& image, size_t at, uint16_t value) {
  image[at] = static_cast<unsigned char>(value);
  image[at + 1] = static_cast<unsigned char>(value >> 8);
}

void Put32(std::vector<unsigned char>& image, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// Where a 32-bit image (or a 64-bit one) keeps NumberOfRvaAndSizes.
size_t DirectoryCount(bool wide) { return kOptional + (wide ? 108 : 92); }

// A library image exporting ordinals 1002 to 1008 but 1003 and 1005, whose
// entries in the address table are empty: the gaps a library with sparse
// numbering has.
std::vector<unsigned char> Library(bool wide = false) {
  std::vector<unsigned char> image(kImageSize);
  image[0] = 'M';
  image[1] = 'Z';
  Put32(image, 0x3C, kPe);
  image[kPe] = 'P';
  image[kPe + 1] = 'E';
  Put16(image, kPe + 4 + 16, wide ? 0xF0 : 0xE0);  // SizeOfOptionalHeader
  Put16(image, kOptional, wide ? 0x20B : 0x10B);
  Put32(image, kOptional + 56, kImageSize);
  Put32(image, DirectoryCount(wide), 16);
  Put32(image, DirectoryCount(wide) + 4, kExports);
  Put32(image, DirectoryCount(wide) + 8, 0x100);
  Put32(image, kExports + 16, kBase);
  Put32(image, kExports + 20, 7);
  Put32(image, kExports + 28, kFunctions);
  const uint32_t addresses[] = {0x1500, 0, 0x1510, 0, 0x1520, 0x1530, 0x1540};
  for (size_t i = 0; i < 7; ++i) Put32(image, kFunctions + 4 * i, addresses[i]);
  return image;
}

struct OrdinalCase {
  const char* name;
  uint16_t ordinal;
  OrdinalExport expected;
};

class OrdinalTest : public ::testing::TestWithParam<OrdinalCase> {};

TEST_P(OrdinalTest, IsExportedOnlyInsideTheRangeWithAnAddress) {
  for (bool wide : {false, true}) {
    std::vector<unsigned char> image = Library(wide);
    EXPECT_EQ(GetParam().expected,
              FindOrdinalExport(image.data(), kHeaderBytes, GetParam().ordinal))
        << (wide ? "64-bit image" : "32-bit image");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ordinals, OrdinalTest,
    ::testing::Values(OrdinalCase{"Base", 1002, OrdinalExport::Exported},
                      OrdinalCase{"InsideAfterAGap", 1004, OrdinalExport::Exported},
                      OrdinalCase{"Last", 1008, OrdinalExport::Exported},
                      OrdinalCase{"GapAfterTheBase", 1003, OrdinalExport::NotExported},
                      OrdinalCase{"GapInTheMiddle", 1005, OrdinalExport::NotExported},
                      OrdinalCase{"BelowTheBase", 1001, OrdinalExport::NotExported},
                      OrdinalCase{"JustBeyond", 1009, OrdinalExport::NotExported},
                      OrdinalCase{"Zero", 0, OrdinalExport::NotExported},
                      OrdinalCase{"Highest", 0xFFFF, OrdinalExport::NotExported}),
    [](const ::testing::TestParamInfo<OrdinalCase>& info) { return info.param.name; });

// One lie in the headers of the image above; ordinal 1002 is then asked for.
struct DamageCase {
  const char* name;
  std::function<void(std::vector<unsigned char>&)> damage;
  OrdinalExport expected;
};

void PrintTo(const DamageCase& c, std::ostream* out) { *out << c.name; }

class DamagedImageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedImageTest, IsRefusedWithinItsBounds) {
  std::vector<unsigned char> image = Library();
  GetParam().damage(image);
  EXPECT_EQ(GetParam().expected, FindOrdinalExport(image.data(), kHeaderBytes, kBase));
}

using Image = std::vector<unsigned char>;
INSTANTIATE_TEST_SUITE_P(
    Headers, DamagedImageTest,
    ::testing::Values(
        DamageCase{"Undamaged", [](Image&) {}, OrdinalExport::Exported},
        DamageCase{"NoDosSignature", [](Image& i) { i[1] = 'Y'; }, OrdinalExport::BadImage},
        DamageCase{"NewHeaderBeyondTheHeaders", [](Image& i) { Put32(i, 0x3C, kHeaderBytes); },
                   OrdinalExport::BadImage},
        DamageCase{"NewHeaderAcrossTheEnd", [](Image& i) { Put32(i, 0x3C, kHeaderBytes - 10); },
                   OrdinalExport::BadImage},
        DamageCase{"NewHeaderOffsetWraps", [](Image& i) { Put32(i, 0x3C, 0xFFFFFFFC); },
                   OrdinalExport::BadImage},
        DamageCase{"NoPeSignature", [](Image& i) { i[kPe + 1] = 'X'; }, OrdinalExport::BadImage},
        DamageCase{"UnknownMagic", [](Image& i) { Put16(i, kOptional, 0x107); },
                   OrdinalExport::BadImage},
        DamageCase{"OptionalHeaderTooShort", [](Image& i) { Put16(i, kPe + 20, 92); },
                   OrdinalExport::BadImage},
        DamageCase{"OptionalHeaderBeyondTheHeaders", [](Image& i) { Put16(i, kPe + 20, 0xFFFF); },
                   OrdinalExport::BadImage},
        DamageCase{"NoDataDirectories", [](Image& i) { Put32(i, DirectoryCount(false), 0); },
                   OrdinalExport::NotExported},
        DamageCase{"NoExportTable", [](Image& i) { Put32(i, DirectoryCount(false) + 4, 0); },
                   OrdinalExport::NotExported},
        DamageCase{"ExportTableBeyondTheImage",
                   [](Image& i) { Put32(i, DirectoryCount(false) + 4, kImageSize - 20); },
                   OrdinalExport::BadImage},
        DamageCase{"ExportTableOffsetWraps",
                   [](Image& i) { Put32(i, DirectoryCount(false) + 4, 0xFFFFFFF0); },
                   OrdinalExport::BadImage},
        DamageCase{"AddressTableBeyondTheImage",
                   [](Image& i) { Put32(i, kExports + 28, kImageSize - 8); },
                   OrdinalExport::BadImage},
        DamageCase{"AddressTableLongerThanTheImage",
                   [](Image& i) { Put32(i, kExports + 20, 0x40000001); }, OrdinalExport::BadImage},
        DamageCase{"AddressBeyondTheImage", [](Image& i) { Put32(i, kFunctions, kImageSize); },
                   OrdinalExport::BadImage},
        DamageCase{"SizeOfImageSmallerThanTheTable",
                   [](Image& i) { Put32(i, kOptional + 56, kExports + 16); },
                   OrdinalExport::BadImage}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

TEST(DamagedImage, TooFewHeaderBytesForADosHeaderAreRefused) {
  std::vector<unsigned char> image = Library();
  EXPECT_EQ(OrdinalExport::BadImage, FindOrdinalExport(image.data(), 63, kBase));
  EXPECT_EQ(OrdinalExport::BadImage, FindOrdinalExport(nullptr, kHeaderBytes, kBase));
}

}  // namespace
