// The main frame's side of the alert datagrams: at most one datagram per
// poll, to an address given on the command line or found for a name.
//
// An address (IPv4 or IPv6) needs no lookup: its socket is connected at
// start-up and each alert is sent in the poll where it falls due. A name is
// looked up on a thread of its own (framework/host_lookup.h), never on this
// one, whenever an alert waits for it (core/held_alerts.h says when); the
// socket is then made for the family of the first address found.
#include <windows.h>

#include "app/main_frame.h"
#include "core/alert_host.h"
#include "framework/host_lookup.h"

void CMainFrame::OpenAlertSocket() {
  fw::CAsyncSocket::StartSocketLayer();
  alertHostIsName = false;
  bool usable = false;
  const AlertHostForm form = AlertHostFormOf(settings.alertHost);
  // Text that is neither an address nor a name ([::1], loghost:48000) sends
  // nothing, as the installer says, whatever a socket layer would make of it.
  if (form == AlertHostForm::NameOrIpv4 || form == AlertHostForm::Ipv6Address) {
    if (const std::optional<fw::SocketAddress> address =
            fw::NumericAddress(settings.alertHost, settings.alertPort)) {
      usable = socket.Open(*address);
    } else if (form == AlertHostForm::NameOrIpv4 &&
               static_cast<std::uint16_t>(settings.alertPort) != 0) {
      alertHostIsName = true;
      usable = true;
    }
  }
  alert.Open(usable);
}

void CMainFrame::SendAlert(const DetailsView& view) {
  std::optional<std::string> text = alert.TakeDueAlert(AlertFieldsOf(view));
  if (!alertHostIsName) {
    // Exactly the text's bytes, no terminator; the outcome is not looked at.
    if (text) socket.Send(text->data(), text->size());
    return;
  }
  if (text) {
    const std::string dropped = heldAlerts.Hold(std::move(*text));
    if (!dropped.empty()) {
      OutputDebugStringA(("Brimlet: the log host's name is still not found; an older alert "
                          "was not sent: " + dropped + "\n").c_str());
    }
  }
  LookUpAlertHost();
}

void CMainFrame::LookUpAlertHost() {
  if (heldAlerts.LookupDue() &&
      fw::StartHostLookup(m_hWnd, WM_ALERT_HOST_FOUND, settings.alertHost, settings.alertPort)) {
    heldAlerts.LookupStarted();
  }
}

void CMainFrame::OnAlertHostFound(LPARAM lParam) {
  const std::unique_ptr<fw::HostFound> found = fw::TakeHostFound(lParam);
  if (!heldAlerts.LookingUp()) return;
  if (found->address && socket.Open(*found->address)) {
    for (const std::string& text : heldAlerts.Found()) {
      socket.Send(text.data(), text.size());
    }
  } else {
    heldAlerts.NotFound();  // looked up again at the next poll
  }
}
