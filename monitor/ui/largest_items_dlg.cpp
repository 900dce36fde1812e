#include "ui/largest_items_dlg.h"

#include <commctrl.h>

#include <memory>

#include "framework/resource_language.h"
#include "resources/resource.h"
#include "ui/desktop_doors.h"
#include "ui/largest_items_folders_win.h"

namespace {

// A name the ANSI code page cannot show is marked before its path, whose
// lost characters read '?' (a character no Windows name holds).
constexpr char kLossyMark[] = "[?] ";

struct Column {
  UINT title;
  int widthDlu;
  int format;
};
constexpr Column kColumns[] = {{IDS_LARGEST_COLUMN_KIND, 44, LVCFMT_LEFT},
                               {IDS_LARGEST_COLUMN_SIZE, 62, LVCFMT_RIGHT},
                               {IDS_LARGEST_COLUMN_SHARE, 52, LVCFMT_RIGHT},
                               {IDS_LARGEST_COLUMN_PATH, 214, LVCFMT_LEFT}};

std::string Megabytes(uint64_t bytes) { return FormatRowMb(bytes); }

ScanTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void SetCell(HWND list, int item, int column, const std::string& text) {
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

// The list view's class must be registered before the template is made; the
// program registers only the classes of its other windows at start.
CLargestItemsDlg::CLargestItemsDlg() : fw::CDialog(IDD_LARGEST_ITEMS) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
}

BOOL CLargestItemsDlg::OnInitDialog() {
  fw::CDialog::OnInitDialog();
  HWND list = GetDlgItem(m_hWnd, IDC_LARGEST_LIST);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
    RECT width{0, 0, kColumns[i].widthDlu, 0};
    MapDialogRect(m_hWnd, &width);
    const std::string title = fw::LoadResString(kColumns[i].title);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = kColumns[i].format;
    column.cx = width.right;
    column.pszText = const_cast<char*>(title.c_str());
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
  return TRUE;
}

void CLargestItemsDlg::Open(const std::string& path, uint64_t limit) {
  ShowWindow(m_hWnd, SW_SHOW);
  SetForegroundWindow(m_hWnd);
  if (scan.Running()) return;
  watchedPath = path;
  limitKb = limit;
  rows.clear();
  SendDlgItemMessageA(m_hWnd, IDC_LARGEST_LIST, LVM_DELETEALLITEMS, 0, 0);
  SetDlgItemTextA(m_hWnd, IDC_LARGEST_COUNTS, "");
  SetStatus(FillIn(fw::LoadResString(IDS_LARGEST_READING), {watchedPath, "0", Megabytes(0)}));
  EnableWindow(GetDlgItem(m_hWnd, IDC_LARGEST_STOP), TRUE);
  scanTime = Now();
  scanNumber = scan.Start(m_hWnd, watchedPath);
}

void CLargestItemsDlg::SetStatus(const std::string& text) {
  SetDlgItemTextA(m_hWnd, IDC_LARGEST_STATUS, text.c_str());
}

LRESULT CLargestItemsDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SCAN_PROGRESS || message == WM_SCAN_DONE) {
    // A message of an earlier scan is freed unread.
    if (message == WM_SCAN_PROGRESS) {
      std::unique_ptr<ScanProgress> progress(reinterpret_cast<ScanProgress*>(lParam));
      if (wParam == scanNumber && scan.Running()) ShowProgress(*progress);
    } else {
      std::unique_ptr<ScanResult> result(reinterpret_cast<ScanResult*>(lParam));
      if (wParam == scanNumber) {
        scan.Finished();
        ShowResult(*result);
      }
    }
    return 0;
  }
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom == IDC_LARGEST_LIST && header->code == NM_DBLCLK) {
      OpenSelected();
      return 0;
    }
  }
  return fw::CDialog::WindowProc(message, wParam, lParam);
}

bool CLargestItemsDlg::PreTranslateMessage(MSG* message) {
  if (message->message == WM_KEYDOWN && message->wParam == 'C' &&
      (GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
      (message->hwnd == m_hWnd || IsChild(m_hWnd, message->hwnd))) {
    Copy();
    return true;
  }
  return fw::CDialog::PreTranslateMessage(message);
}

void CLargestItemsDlg::ShowProgress(const ScanProgress& progress) {
  bool lossy = false;
  const std::string folder =
      progress.folder.empty() ? watchedPath : SafeLineText(AnsiFromUtf8(progress.folder, &lossy));
  SetStatus(FillIn(fw::LoadResString(IDS_LARGEST_READING),
                   {folder, std::to_string(progress.items), Megabytes(progress.bytes)}));
}

void CLargestItemsDlg::ShowResult(const ScanResult& result) {
  EnableWindow(GetDlgItem(m_hWnd, IDC_LARGEST_STOP), FALSE);
  HWND list = GetDlgItem(m_hWnd, IDC_LARGEST_LIST);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (const ScanRow& row : result.folders) AddRow(row);
  for (const ScanRow& row : result.files) AddRow(row);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  const std::vector<std::string> figures = {std::to_string(result.items), Megabytes(result.bytes)};
  if (result.rootUnreadable) {
    SetStatus(FillIn(fw::LoadResString(IDS_LARGEST_ROOT_FAILED), {watchedPath}));
  } else {
    const UINT id = result.partial ? IDS_LARGEST_PARTIAL : IDS_LARGEST_DONE;
    SetStatus(FillIn(fw::LoadResString(id), figures));
  }
  const std::string counts =
      FillIn(fw::LoadResString(IDS_LARGEST_COUNTS),
             {std::to_string(result.unreadable), std::to_string(result.notFollowed)});
  SetDlgItemTextA(m_hWnd, IDC_LARGEST_COUNTS, counts.c_str());
}

void CLargestItemsDlg::AddRow(const ScanRow& row) {
  HWND list = GetDlgItem(m_hWnd, IDC_LARGEST_LIST);
  const std::string kind = fw::LoadResString(row.folder ? IDS_LARGEST_FOLDER : IDS_LARGEST_FILE);
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = static_cast<int>(rows.size());
  item.pszText = const_cast<char*>(kind.c_str());
  item.lParam = static_cast<LPARAM>(rows.size());
  const int index =
      static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return;
  rows.push_back(row);
  bool lossy = false;
  const std::string path = SafeLineText(AnsiFromUtf8(row.path, &lossy));
  SetCell(list, index, 1, Megabytes(row.bytes));
  SetCell(list, index, 2, FormatShare(row.bytes, limitKb));
  SetCell(list, index, 3, lossy ? kLossyMark + path : path);
}

// A folder opens in Explorer; a file opens its folder with the file selected.
void CLargestItemsDlg::OpenSelected() {
  const int index = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_LARGEST_LIST, LVM_GETNEXTITEM,
                                                         static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (index < 0 || static_cast<std::size_t>(index) >= rows.size()) return;
  const ScanRow& row = rows[static_cast<std::size_t>(index)];
  const std::string path = ShellPathOf(CWinFolderSource(watchedPath).FullPath(row.path));
  if (path.empty()) {
    SetStatus(fw::LoadResString(IDS_LARGEST_CANNOT_OPEN));
    return;
  }
  if (row.folder) {
    ShellOpen(m_hWnd, "open", "explorer.exe", ("\"" + path + "\"").c_str(), nullptr, SW_SHOWNORMAL);
  } else {
    ShellOpen(m_hWnd, "open", "explorer.exe", ("/select,\"" + path + "\"").c_str(), nullptr,
              SW_SHOWNORMAL);
  }
}

std::string CLargestItemsDlg::CopyText() const {
  return ClipboardText(watchedPath, scanTime, rows);
}

// As Unicode text, so that every name arrives exactly; the system offers it
// as ANSI text (CF_TEXT) too.
void CLargestItemsDlg::Copy() {
  const std::wstring text = WideFromCodePage(CP_UTF8, CopyText());
  if (!OpenClipboard(m_hWnd)) return;
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory != nullptr) {
    void* target = GlobalLock(memory);
    if (target != nullptr) {
      CopyMemory(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

bool CLargestItemsDlg::OnCommand(UINT id, UINT notifyCode) {
  switch (id) {
    case IDC_LARGEST_OPEN:
      OpenSelected();
      return true;
    case IDC_LARGEST_COPY:
      Copy();
      return true;
    case IDC_LARGEST_STOP:
      scan.Cancel();  // the partial result follows as WM_SCAN_DONE
      return true;
    default:
      return fw::CDialog::OnCommand(id, notifyCode);
  }
}

// Enter opens the selected row.
void CLargestItemsDlg::OnOK() { OpenSelected(); }

// Closing hides the window and ends the scan; a scan's result that is still
// queued is freed unread.
void CLargestItemsDlg::OnCancel() {
  scan.Stop();
  DropScanMessages(m_hWnd);
  EnableWindow(GetDlgItem(m_hWnd, IDC_LARGEST_STOP), FALSE);
  ShowWindow(m_hWnd, SW_HIDE);
}

void CLargestItemsDlg::OnDestroy() {
  scan.Stop();
  DropScanMessages(m_hWnd);
  fw::CDialog::OnDestroy();
}
