// The log host package's custom actions, native code as in the monitor's
// package:
//   CheckServiceProperties (immediate, before the launch conditions): fills
//     each property not given from the earlier installation's remembered
//     value, else the daemon's default; refuses values the daemon would not
//     read as given, one line each in the installer's log (1603, nothing
//     installed); sets BRIMLETD_ARGUMENTS, the service's command line.
//   PrepareDataFolder (deferred, as the system): %ProgramData%\Brimlet, read
//     by Users, written by Administrators, the system and the service's own
//     virtual account alone.
//   QuoteServicePath (deferred, as the system, after InstallServices): the
//     service's program path in quotes, where the installer wrote it bare
//     (Wine's does): "C:\Program Files\..." unquoted would let Windows try
//     C:\Program.exe first.
//   AddFirewallRule / RemoveFirewallRule (deferred, as the system): one
//     inbound rule for the service's UDP port, through the firewall's COM
//     interface (INetFwPolicy2).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <netfw.h>
#include <sddl.h>
#include <shlobj.h>

#include <string>

#include "service_properties.h"

namespace {

// Where the package remembers the settings of the installation (its
// RegistryValue rows write them), in the package's registry view.
constexpr wchar_t kSettingsKey[] = L"Software\\Brimlet\\BrimletD";
constexpr wchar_t kRuleName[] = L"BrimletD alerts (UDP)";
// NT SERVICE\BrimletD: S-1-5-80 and the SHA-1 of the upper-cased service
// name in UTF-16LE as five 32-bit numbers; fixed with the service's name,
// and known before the service exists.
// The firewall's documented class and interface IDs (netfw.h declares them;
// mingw's uuid library does not hold them).
constexpr GUID kNetFwPolicy2Class = {0xE2B3C97F, 0x6AE1, 0x41AC, {0x81, 0x7A, 0xF6, 0xF9, 0x21, 0x66, 0xD7, 0xDD}};
constexpr GUID kNetFwPolicy2Interface = {0x98325047, 0xC671, 0x4174, {0x8D, 0x81, 0xDE, 0xFC, 0xD3, 0xF0, 0x31, 0x86}};
constexpr GUID kNetFwRuleClass = {0x2C5BC43E, 0x3369, 0x4C33, {0xAB, 0x0C, 0xBE, 0x94, 0x69, 0x67, 0x7A, 0xF4}};
constexpr GUID kNetFwRuleInterface = {0xAF230D27, 0xBABA, 0x4E42, {0xAC, 0xED, 0xF5, 0x24, 0xF2, 0x2C, 0xFC, 0xE2}};
constexpr wchar_t kServiceSid[] = L"S-1-5-80-3068750808-1190576438-4249772458-1328213099-308190943";

std::wstring property(MSIHANDLE install, const wchar_t* name) {
  wchar_t empty[1] = L"";
  DWORD length = 0;
  if (MsiGetPropertyW(install, name, empty, &length) != ERROR_MORE_DATA) return L"";
  std::wstring value(length + 1, L'\0');
  ++length;
  if (MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS) return L"";
  value.resize(length);
  return value;
}

// Values outside ASCII are refused by the check; they pass through here as
// '?' so that the refusal line still shows where.
std::string narrow(const std::wstring& text) {
  std::string result;
  for (wchar_t c : text) result += c < 0x80 ? static_cast<char>(c) : '?';
  return result;
}

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

void log(MSIHANDLE install, const std::string& line) {
  MSIHANDLE record = MsiCreateRecord(1);
  if (record == 0) return;
  const std::string text = "BrimletD: " + line;
  MsiRecordSetStringA(record, 0, text.c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
  MsiCloseHandle(record);
}

std::wstring remembered(const wchar_t* name) {
  wchar_t value[512];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return L"";
  }
  return value;
}

// Given now, else remembered, else the default.
std::wstring settled(MSIHANDLE install, const wchar_t* name, const wchar_t* fallback) {
  std::wstring value = property(install, name);
  if (value.empty()) value = remembered(name);
  if (value.empty()) value = fallback;
  MsiSetPropertyW(install, name, value.c_str());
  return value;
}

std::wstring customActionData(MSIHANDLE install) { return property(install, L"CustomActionData"); }

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall CheckServiceProperties(MSIHANDLE install) {
  ServiceProperties properties;
  properties.port = narrow(settled(install, L"PORT", widen(kDefaultPort).c_str()));
  properties.dangerOnly = narrow(settled(install, L"DANGERONLY", widen(kDefaultDangerOnly).c_str()));
  properties.filter = narrow(settled(install, L"FILTER", L""));
  properties.allow = narrow(settled(install, L"ALLOW", L""));
  properties.rate = narrow(settled(install, L"RATE", L""));
  for (const wchar_t* name : {L"FILTER", L"ALLOW", L"RATE"}) {
    // A value outside ASCII is refused with its own characters' places.
    for (wchar_t c : property(install, name)) {
      if (c >= 0x80) {
        log(install, narrow(name) + "=" + narrow(property(install, name)) +
                         " is refused: holds a quote or a character outside printable ASCII");
        return ERROR_INSTALL_FAILURE;
      }
    }
  }
  const auto refused = refusedServiceProperties(properties);
  for (const std::string& line : refused) log(install, line);
  if (!refused.empty()) return ERROR_INSTALL_FAILURE;
  const std::string arguments = serviceCommandLine(properties);
  MsiSetPropertyW(install, L"BRIMLETD_ARGUMENTS", widen(arguments).c_str());
  log(install, "the service's arguments: " + arguments);
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall PrepareDataFolder(MSIHANDLE install) {
  wchar_t programData[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, programData) !=
      S_OK) {
    log(install, "no ProgramData folder");
    return ERROR_INSTALL_FAILURE;
  }
  const std::wstring folder = std::wstring(programData) + L"\\Brimlet";
  // Protected: nothing inherited from ProgramData, where every user may
  // create files. Users read; Administrators and the system have full
  // control; the service's account modifies (creates and appends the log).
  const std::wstring sddl = std::wstring(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;") +
                            kServiceSid + L")(A;OICI;0x1200a9;;;BU)";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    log(install, "the folder's permissions do not convert: " + std::to_string(GetLastError()));
    return ERROR_INSTALL_FAILURE;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  bool done = CreateDirectoryW(folder.c_str(), &attributes) != FALSE;
  if (!done && GetLastError() == ERROR_ALREADY_EXISTS) {
    // An upgrade, or a folder made before: the log stays, the permissions
    // are set again.
    done = SetFileSecurityW(folder.c_str(), DACL_SECURITY_INFORMATION, descriptor) != FALSE;
  }
  const DWORD error = GetLastError();
  LocalFree(descriptor);
  log(install, done ? "data folder " + narrow(folder) + " ready"
                    : "data folder " + narrow(folder) + " failed: " + std::to_string(error));
  return done ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

namespace {

// The firewall's rules, or nothing when the firewall service cannot be
// reached (the rule is then the administrator's to add; the log says so).
INetFwRules* firewallRules(MSIHANDLE install, HRESULT* result) {
  INetFwPolicy2* policy = nullptr;
  *result = CoCreateInstance(kNetFwPolicy2Class, nullptr, CLSCTX_INPROC_SERVER, kNetFwPolicy2Interface,
                             reinterpret_cast<void**>(&policy));
  if (FAILED(*result)) return nullptr;
  INetFwRules* rules = nullptr;
  *result = policy->get_Rules(&rules);
  policy->Release();
  if (FAILED(*result)) {
    log(install, "firewall rules not readable");
    return nullptr;
  }
  return rules;
}

std::string hex(HRESULT result) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

// At most this many rules of the name are taken away: an earlier version,
// or a rule added twice by hand.
constexpr int kMostRulesRemoved = 16;

void removeRules(INetFwRules* rules) {
  BSTR name = SysAllocString(kRuleName);
  for (int i = 0; i < kMostRulesRemoved; ++i) {
    INetFwRule* rule = nullptr;
    if (FAILED(rules->Item(name, &rule)) || rule == nullptr) break;
    rule->Release();
    if (FAILED(rules->Remove(name))) break;
  }
  SysFreeString(name);
}

}  // namespace

// CustomActionData: the port, a blank, the program's path.
extern "C" __declspec(dllexport) UINT __stdcall AddFirewallRule(MSIHANDLE install) {
  const std::wstring data = customActionData(install);
  const std::size_t blank = data.find(L' ');
  const std::wstring port = data.substr(0, blank);
  const std::wstring program = blank == std::wstring::npos ? L"" : data.substr(blank + 1);
  const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HRESULT result = S_OK;
  INetFwRules* rules = firewallRules(install, &result);
  INetFwRule* rule = nullptr;
  if (rules != nullptr) {
    removeRules(rules);
    result = CoCreateInstance(kNetFwRuleClass, nullptr, CLSCTX_INPROC_SERVER, kNetFwRuleInterface,
                              reinterpret_cast<void**>(&rule));
  }
  if (rule != nullptr) {
    BSTR name = SysAllocString(kRuleName);
    BSTR ports = SysAllocString(port.c_str());
    BSTR path = SysAllocString(program.c_str());
    BSTR service = SysAllocString(L"BrimletD");
    rule->put_Name(name);
    rule->put_Protocol(NET_FW_IP_PROTOCOL_UDP);
    rule->put_LocalPorts(ports);
    rule->put_Direction(NET_FW_RULE_DIR_IN);
    rule->put_Action(NET_FW_ACTION_ALLOW);
    rule->put_ApplicationName(path);
    rule->put_ServiceName(service);
    rule->put_Profiles(NET_FW_PROFILE2_ALL);
    rule->put_Enabled(VARIANT_TRUE);
    result = rules->Add(rule);
    for (BSTR text : {name, ports, path, service}) SysFreeString(text);
    rule->Release();
  }
  if (rules != nullptr) rules->Release();
  if (SUCCEEDED(initialized)) CoUninitialize();
  // A host whose firewall cannot be reached still gets the service: the
  // rule is then the administrator's to add, as the log says.
  log(install, SUCCEEDED(result)
                   ? "firewall rule added: inbound UDP port " + narrow(port) + " for " + narrow(program)
                   : "firewall rule not added (" + hex(result) + "): allow inbound UDP port " +
                         narrow(port) + " by hand");
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RemoveFirewallRule(MSIHANDLE install) {
  const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HRESULT result = S_OK;
  INetFwRules* rules = firewallRules(install, &result);
  if (rules != nullptr) {
    removeRules(rules);
    rules->Release();
  }
  if (SUCCEEDED(initialized)) CoUninitialize();
  log(install, SUCCEEDED(result) ? "firewall rule removed"
                                 : "firewall rule not reachable (" + hex(result) + ")");
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall QuoteServicePath(MSIHANDLE install) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager == nullptr ? nullptr
                                         : OpenServiceW(manager, L"BrimletD",
                                                        SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG);
  std::string outcome = "service not found";
  if (service != nullptr) {
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::string buffer(needed, '\0');
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (needed > 0 && QueryServiceConfigW(service, config, needed, &needed)) {
      const std::wstring path = config->lpBinaryPathName;
      const std::size_t end = path.find(L".exe");
      if (path.empty() || path[0] == L'"') {
        outcome = "service path already quoted";
      } else if (end == std::wstring::npos) {
        outcome = "service path without its program";
      } else {
        const std::wstring quoted = L"\"" + path.substr(0, end + 4) + L"\"" + path.substr(end + 4);
        outcome = ChangeServiceConfigW(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                       SERVICE_NO_CHANGE, quoted.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr)
                      ? "service path quoted"
                      : "service path not quoted: " + std::to_string(GetLastError());
      }
    }
    CloseServiceHandle(service);
  }
  if (manager != nullptr) CloseServiceHandle(manager);
  log(install, outcome);
  return ERROR_SUCCESS;
}
