// The main frame's side of the alert datagrams: one UDP socket connected
// once at start-up, and at most one datagram per poll.
#include "app/main_frame.h"

void CMainFrame::OpenAlertSocket() {
  fw::CAsyncSocket::StartSocketLayer();
  bool connected =
      socket.CreateDatagram() && socket.Connect(settings.alertHost, settings.alertPort);
  alert.Open(connected);
}

void CMainFrame::SendAlert(const DetailsView& view) {
  if (std::optional<std::string> text = alert.TakeDueAlert(AlertFieldsOf(view))) {
    // Exactly the text's bytes, no terminator; the outcome is not looked at.
    socket.Send(text->data(), text->size());
  }
}
