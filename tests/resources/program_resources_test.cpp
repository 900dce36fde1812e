// What Windows shows about the built programs, read back from their files:
// each program's version resource, the monitor's application manifest and
// the sizes and pictures of its icons. The programs are opened as data files,
// never run.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "windows_path.h"

namespace {

// A program file loaded for reading its resources only.
class ProgramFile {
 public:
  explicit ProgramFile(const char* unixPath)
      : module_(LoadLibraryExA(WindowsPath(unixPath).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ProgramFile() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  ProgramFile(const ProgramFile&) = delete;
  ProgramFile& operator=(const ProgramFile&) = delete;

  HMODULE module() const { return module_; }

  // The bytes of resource `type`/`name` in any language; empty when missing.
  std::string Resource(LPCSTR type, LPCSTR name) const {
    HRSRC info = FindResourceA(module_, name, type);
    if (info == nullptr) return std::string();
    const char* data = static_cast<const char*>(LockResource(LoadResource(module_, info)));
    return data == nullptr ? std::string() : std::string(data, SizeofResource(module_, info));
  }

 private:
  HMODULE module_;
};

BOOL CALLBACK CountName(HMODULE, LPCSTR, LPSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// ---- Version resource of each program ---------------------------------------

struct ProgramCase {
  const char* name;
  const char* path;
  const char* fileName;
  const char* description;
};

class VersionResourceTest : public ::testing::TestWithParam<ProgramCase> {
 protected:
  void SetUp() override {
    const std::string path = WindowsPath(GetParam().path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_NE(0u, size) << GetParam().path << " has no version resource";
    block.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  }

  // A text of the block of the first translation the resource declares.
  std::string Text(const char* key) {
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD)) {
      ADD_FAILURE() << "no translation entry";
      return std::string();
    }
    char query[80];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                  translation[1], key);
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length) ||
        text == nullptr) {
      ADD_FAILURE() << "no text " << query;
      return std::string();
    }
    return std::string(text);
  }

  std::vector<char> block;
};

TEST_P(VersionResourceTest, FixedPartCarriesTheProjectVersion) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
  EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
  const DWORD high = MAKELONG(BRIMLET_TEST_VERSION_MINOR, BRIMLET_TEST_VERSION_MAJOR);
  const DWORD low = MAKELONG(0, BRIMLET_TEST_VERSION_PATCH);
  EXPECT_EQ(high, fixed->dwFileVersionMS);
  EXPECT_EQ(low, fixed->dwFileVersionLS);
  EXPECT_EQ(high, fixed->dwProductVersionMS);
  EXPECT_EQ(low, fixed->dwProductVersionLS);
  EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
  EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask) << "debug or pre-release flag set";
}

TEST_P(VersionResourceTest, TextsNameTheProductAndTheFile) {
  EXPECT_EQ("Brimlet", Text("ProductName"));
  EXPECT_EQ(BRIMLET_TEST_VERSION, Text("ProductVersion"));
  EXPECT_EQ(BRIMLET_TEST_VERSION, Text("FileVersion"));
  EXPECT_EQ(GetParam().fileName, Text("OriginalFilename"));
  EXPECT_EQ(GetParam().description, Text("FileDescription"));
}

TEST_P(VersionResourceTest, DeclaresEnglishUnitedStatesUnicode) {
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(2 * sizeof(WORD), length);
  EXPECT_EQ(0x0409, translation[0]);
  EXPECT_EQ(1200, translation[1]);
}

INSTANTIATE_TEST_SUITE_P(Programs, VersionResourceTest,
                         ::testing::Values(ProgramCase{"Monitor", BRIMLET_EXE, "brimlet.exe",
                                                       "Brimlet NetWare disk quota monitor"},
                                           ProgramCase{"Daemon", BRIMLETD_EXE, "brimletd.exe",
                                                       "BrimletD alert log daemon"},
                                           ProgramCase{"Netcheck", NETCHECK_EXE, "netcheck.exe",
                                                       "Brimlet network description checker"}),
                         [](const ::testing::TestParamInfo<ProgramCase>& info) {
                           return info.param.name;
                         });

// ---- The monitor's manifest ---------------------------------------------------

const LPCSTR kManifestType = MAKEINTRESOURCEA(24);

TEST(MonitorManifest, IsOneResourceOfIdOne) {
  ProgramFile program(BRIMLET_EXE);
  ASSERT_NE(nullptr, program.module());
  int count = 0;
  EnumResourceNamesA(program.module(), kManifestType, CountName,
                     reinterpret_cast<LONG_PTR>(&count));
  EXPECT_EQ(1, count);
  EXPECT_FALSE(program.Resource(kManifestType, MAKEINTRESOURCEA(1)).empty());
}

// The one thing the two builds' manifests differ in: the program's processor.
#if defined(_WIN64)
#define BRIMLET_MANIFEST_PROCESSOR "amd64"
#else
#define BRIMLET_MANIFEST_PROCESSOR "x86"
#endif

struct ManifestCase {
  const char* name;
  const char* text;
  bool present;
};

class MonitorManifestContent : public ::testing::TestWithParam<ManifestCase> {};

TEST_P(MonitorManifestContent, SaysWhatTheProgramNeeds) {
  ProgramFile program(BRIMLET_EXE);
  const std::string manifest = program.Resource(kManifestType, MAKEINTRESOURCEA(1));
  ASSERT_FALSE(manifest.empty());
  EXPECT_EQ(GetParam().present, manifest.find(GetParam().text) != std::string::npos)
      << GetParam().text << "\n"
      << manifest;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, MonitorManifestContent,
    ::testing::Values(
        ManifestCase{"Identity", "version=\"" BRIMLET_TEST_VERSION ".0\"", true},
        ManifestCase{"Processor", "processorArchitecture=\"" BRIMLET_MANIFEST_PROCESSOR "\"", true},
        ManifestCase{"AsInvoker", "<requestedExecutionLevel level=\"asInvoker\"", true},
        ManifestCase{"Windows7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", true},
        ManifestCase{"Windows8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", true},
        ManifestCase{"Windows81", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", true},
        ManifestCase{"Windows10And11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", true},
        ManifestCase{"SystemDpiAware", "WindowsSettings\">true</dpiAware>", true},
        ManifestCase{"SystemDpiAwareness", "WindowsSettings\">system</dpiAwareness>", true},
        // Visual styles would change the progress bar and the check box.
        ManifestCase{"NoCommonControls6", "Microsoft.Windows.Common-Controls", false}),
    [](const ::testing::TestParamInfo<ManifestCase>& info) { return info.param.name; });

// This test program carries the same manifest: the loader must accept it and
// hand its DPI settings to the process, as it does for the monitor. (Asking
// IsProcessDPIAware would prove nothing: Wine answers yes without a manifest.)
// The function is looked up by name: the MinGW headers do not declare it.
using QueryActCtxSettings = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);

struct SettingCase {
  const char* name;
  const wchar_t* space;
  const wchar_t* setting;
  const wchar_t* value;
};

class ProcessManifest : public ::testing::TestWithParam<SettingCase> {};

TEST_P(ProcessManifest, ReachesTheLoader) {
  auto query = reinterpret_cast<QueryActCtxSettings>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
  ASSERT_NE(nullptr, query);
  wchar_t value[32] = {};
  SIZE_T written = 0;
  ASSERT_TRUE(query(0, nullptr, GetParam().space, GetParam().setting, value,
                    sizeof value / sizeof value[0], &written))
      << "error " << GetLastError();
  EXPECT_EQ(std::wstring(GetParam().value), std::wstring(value));
}

INSTANTIATE_TEST_SUITE_P(
    DpiSettings, ProcessManifest,
    ::testing::Values(SettingCase{"DpiAware",
                                  L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                  L"dpiAware", L"true"},
                      SettingCase{"DpiAwareness",
                                  L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                  L"dpiAwareness", L"system"}),
    [](const ::testing::TestParamInfo<SettingCase>& info) { return info.param.name; });

// ---- The monitor's pictures ----------------------------------------------------

#pragma pack(push, 1)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colourCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

// One image of an icon: a palette index per pixel, -1 where the mask lets
// the background show; rows top down.
struct Picture {
  int size = 0;
  std::vector<int> pixels;
};

const UINT kIconIds[] = {IDI_DRIVE_OK, IDI_DRIVE_WARNING, IDI_DRIVE, IDI_DRIVE_DANGER,
                         IDI_DRIVE_UNKNOWN};
const int kSizes[] = {16, 20, 24, 32, 48};

// Decodes a 4-bit icon image with its mask; an empty picture when the image
// is not 4-bit or not square.
Picture Decode(const std::string& image) {
  Picture picture;
  if (image.size() < sizeof(BITMAPINFOHEADER)) return picture;
  BITMAPINFOHEADER header;
  memcpy(&header, image.data(), sizeof header);
  const int size = header.biWidth;
  if (header.biBitCount != 4 || header.biHeight != 2 * size) return picture;
  const size_t colourStride = ((size * 4 + 31) / 32) * 4;
  const size_t maskStride = ((size + 31) / 32) * 4;
  const size_t colours = header.biSize + 16 * sizeof(RGBQUAD);
  const size_t masks = colours + colourStride * size;
  if (image.size() < masks + maskStride * size) return picture;
  const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
  picture.size = size;
  picture.pixels.resize(size * size);
  for (int y = 0; y < size; ++y) {
    const int row = size - 1 - y;  // bottom-up
    for (int x = 0; x < size; ++x) {
      const unsigned char colour = bytes[colours + row * colourStride + x / 2];
      const unsigned char mask = bytes[masks + row * maskStride + x / 8];
      const bool transparent = (mask >> (7 - x % 8)) & 1;
      picture.pixels[y * size + x] = transparent ? -1 : (x % 2 ? colour & 15 : colour >> 4);
    }
  }
  return picture;
}

// The icon group `id` of the monitor: its images by size.
std::vector<Picture> IconGroup(const ProgramFile& program, UINT id) {
  std::vector<Picture> pictures;
  const std::string group = program.Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(id));
  if (group.size() < 6) return pictures;
  WORD count;
  memcpy(&count, group.data() + 4, sizeof count);
  for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(GroupIconEntry) <= group.size(); ++i) {
    GroupIconEntry entry;
    memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    Picture picture = Decode(program.Resource(RT_ICON, MAKEINTRESOURCEA(entry.id)));
    if (picture.size != (entry.width == 0 ? 256 : entry.width)) picture = Picture();
    pictures.push_back(picture);
  }
  return pictures;
}

const Picture* OfSize(const std::vector<Picture>& pictures, int size) {
  for (const Picture& picture : pictures) {
    if (picture.size == size) return &picture;
  }
  return nullptr;
}

int DifferingPixels(const Picture& a, const Picture& b) {
  int count = 0;
  for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
    count += a.pixels[i] != b.pixels[i];
  }
  return count;
}

// `small` with every pixel repeated `factor` times in both directions.
Picture Enlarged(const Picture& small, int factor) {
  Picture large;
  large.size = small.size * factor;
  large.pixels.resize(large.size * large.size);
  for (int y = 0; y < large.size; ++y) {
    for (int x = 0; x < large.size; ++x) {
      large.pixels[y * large.size + x] = small.pixels[(y / factor) * small.size + x / factor];
    }
  }
  return large;
}

class MonitorIcons : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(nullptr, program.module()); }
  ProgramFile program{BRIMLET_EXE};
};

TEST_F(MonitorIcons, EachHoldsOneSixteenColourImagePerShellSize) {
  for (UINT id : kIconIds) {
    std::vector<Picture> pictures = IconGroup(program, id);
    std::multiset<int> sizes;
    for (const Picture& picture : pictures) sizes.insert(picture.size);
    EXPECT_EQ(std::multiset<int>(std::begin(kSizes), std::end(kSizes)), sizes)
        << "icon " << id << " (size 0: an image that is not a square 16-colour one)";
  }
}

TEST_F(MonitorIcons, LevelsDifferAtEverySize) {
  for (int size : kSizes) {
    for (size_t a = 0; a < std::size(kIconIds); ++a) {
      for (size_t b = a + 1; b < std::size(kIconIds); ++b) {
        std::vector<Picture> first = IconGroup(program, kIconIds[a]);
        std::vector<Picture> second = IconGroup(program, kIconIds[b]);
        const Picture* one = OfSize(first, size);
        const Picture* other = OfSize(second, size);
        ASSERT_TRUE(one != nullptr && other != nullptr) << size;
        // A mark of a few pixels would not tell the levels apart at a glance.
        EXPECT_GE(DifferingPixels(*one, *other), size * size / 32)
            << "icons " << kIconIds[a] << " and " << kIconIds[b] << " at " << size;
      }
    }
  }
}

TEST_F(MonitorIcons, LargerSizesAreDrawnNotEnlarged) {
  for (UINT id : kIconIds) {
    std::vector<Picture> pictures = IconGroup(program, id);
    const Picture* small = OfSize(pictures, 16);
    ASSERT_NE(nullptr, small) << id;
    for (int factor : {2, 3}) {
      const Picture* large = OfSize(pictures, 16 * factor);
      ASSERT_NE(nullptr, large) << id;
      EXPECT_NE(Enlarged(*small, factor).pixels, large->pixels) << id << " at " << 16 * factor;
    }
  }
}

TEST_F(MonitorIcons, CornersShowTheBackground) {
  // The drive hangs in the lower left and the marks sit upper right, so the
  // upper left corner is transparent at every size and level.
  for (UINT id : kIconIds) {
    for (const Picture& picture : IconGroup(program, id)) {
      ASSERT_LT(0, picture.size) << id;
      EXPECT_EQ(-1, picture.pixels[0]) << id << " at " << picture.size;
    }
  }
}

}  // namespace
