#include "app/brimletd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <string_view>
#include <thread>

#include "alerts/alert_filter.h"
#include "alerts/log_entry.h"
#include "alerts/text_case.h"
#include "app/command_line.h"
#include "output/alert_journal.h"
#include "output/console.h"
#include "output/daemon_events.h"
#include "output/log_file.h"
#include "output/standard_output.h"
#include "process/privileges.h"
#include "process/service_manager.h"
#include "process/stop_request.h"
#include "process/thread_priority.h"
#include "receive/udp_receiver.h"

namespace {

constexpr char kSocketErrorLine[] = "BrimletD : IO Exception during socket operation ";
constexpr char kFileErrorLine[] = "BrimletD : IO Exception during entry file writting ";
constexpr char kDroppedLine[] = "BrimletD : receive queue full, datagrams dropped: ";
constexpr char kSystemDroppedLine[] = "BrimletD : socket buffer full, datagrams dropped: ";
constexpr char kNotifyLine[] = "BrimletD : cannot tell the service manager it is ready: ";
constexpr char kPrivilegeLine[] = "BrimletD : cannot drop capabilities, exiting: ";
constexpr char kLockWaitLine[] = "BrimletD : log file locked by another writer, entries wait";
constexpr char kLockRefusedLine[] = "BrimletD : log lock file refused, entries wait: ";
constexpr char kLockFileLine[] = "BrimletD : log lock file refused, exiting: ";
constexpr char kLockHadLine[] = "BrimletD : log file lock had after ";
constexpr char kLockGivenUpLine[] = "BrimletD : log file still locked at the stop, given up after ";
constexpr char kNotLoggedLine[] = "BrimletD : stopped, datagrams read but not logged: ";
constexpr char kLeftLine[] = "BrimletD : stopped, datagrams left in the socket: ";
constexpr char kIPv4OnlyLine[] = "BrimletD : no IPv6 on this system, listening on IPv4 only: ";

// A persistent receive error must not turn the loop into a busy one: wait a
// little longer after each failure in a row, up to a second.
constexpr std::chrono::milliseconds kFirstErrorPause{10};
constexpr std::chrono::milliseconds kLongestErrorPause{1000};

bool startsWith(const std::string& text, char sign) { return !text.empty() && text[0] == sign; }

std::uint32_t saturatingSum(std::uint32_t a, std::uint32_t b) {
  constexpr std::uint32_t most = std::numeric_limits<std::uint32_t>::max();
  return b > most - a ? most : a + b;
}

// Nanoseconds of the steady clock, never 0.
std::int64_t steadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
             .count() |
         1;
}

}  // namespace

int BrimletD::main(const std::vector<std::string>& args) {
  printLine(std::cout,
            std::string("BrimletD V. ") + VERSION_NUMBER + "  Brimlet alert message logguer");
  Settings settings;
  std::vector<std::string> positional;
  // A bad sender option ends the start: running with every sender heard
  // would be the opposite of what was asked for.
  if (!parseOptions(args, &settings, &positional)) return 2;
  settings = parseArgs(positional, std::cout, std::move(settings));
  printLine(std::cout, " Following parameters will be used");
  printLine(std::cout, settingsLine(settings));
  if (!settings.allowed.empty() || settings.rate.count > 0 || !settings.listenOn.empty()) {
    printLine(std::cout, senderSettingsLine(settings));
  }
  BrimletD daemon(std::move(settings));
  return daemon.run();
}

BrimletD::Settings BrimletD::parseArgs(const std::vector<std::string>& args, std::ostream& out,
                                       Settings from) {
  Settings settings = std::move(from);
  std::int32_t candidatePort = settings.port;
  bool candidateShowOnlyAlert = settings.showOnlyAlert;
  std::string candidateFilter;
  bool failed = false;

  printLine(out, " Parsing command line arguments ...");
  if (args.size() != 2 && args.size() != 3) {
    failed = true;
  } else if (!parsePortNumber(args[0], &candidatePort)) {
    failed = true;
  }
  if (!failed) {
    const std::string levelSwitch = toUpperLatin1(args[1]);
    if (levelSwitch == "Y") {
      candidateShowOnlyAlert = true;
    } else if (levelSwitch == "N") {
      candidateShowOnlyAlert = false;
    } else {
      failed = true;
    }
  }
  if (!failed && args.size() == 3) candidateFilter = toUpperLatin1(args[2]);

  // All or nothing: a valid port is not kept when another argument is bad.
  if (failed) {
    for (const std::string& line : usageLines()) printLine(out, line);
  } else {
    settings.port = candidatePort;
    settings.showOnlyAlert = candidateShowOnlyAlert;
    settings.filter = candidateFilter;
  }

  // Two separate tests, "+" first: "+-x" ends as the negative filter X.
  std::string& filter = settings.filter;
  if (startsWith(filter, '+')) {
    settings.filtrePositif = true;
    filter.erase(0, 1);
  }
  if (startsWith(filter, '-')) {
    settings.filtrePositif = false;
    filter.erase(0, 1);
  }
  return settings;
}

bool BrimletD::parseOptions(const std::vector<std::string>& args, Settings* settings,
                            std::vector<std::string>* positional, std::ostream& out) {
  SenderOptions options;
  std::string error;
  if (!parseSenderOptions(args, &options, positional, &error)) {
    printLine(out, "BrimletD : " + error);
    return false;
  }
  settings->allowed = std::move(options.allowed);
  settings->rate = options.rate;
  settings->listenOn = std::move(options.listenOn);
  return true;
}

std::string BrimletD::senderSettingsLine(const Settings& settings) {
  const SenderRate& rate = settings.rate;
  std::string allow, listen;
  for (const SenderPrefix& prefix : settings.allowed) {
    allow += (allow.empty() ? "" : ",") + prefix.text();
  }
  for (const SenderAddress& address : settings.listenOn) {
    listen += (listen.empty() ? "" : ",") + formatAddress(address);
  }
  return " allow=" + (allow.empty() ? "every sender" : allow) + " rate=" +
         (rate.count == 0 ? "no limit"
                          : std::to_string(rate.count) + "/" + std::to_string(rate.seconds)) +
         " listen=" + (listen.empty() ? "every address" : listen);
}

std::string BrimletD::settingsLine(const Settings& settings) {
  const auto text = [](bool value) { return value ? "true" : "false"; };
  return " port=" + std::to_string(settings.port) +
         " showOnlyAlert=" + text(settings.showOnlyAlert) + " logFile=" + settings.logFileName +
         " filter=" + settings.filter + "(" + text(settings.filtrePositif) + ")";
}

BrimletD::BrimletD(Settings settings)
    : settings_(std::move(settings)),
      console_(std::cout),
      echo_(writeStandardOutput, kConsoleBufferBytes),
      buffer_(kDatagramBytes),
      queue_(kQueueCapacity),
      senderCheck_(settings_.allowed, settings_.rate),
      taken_(new QueuedDatagram[kMostPerBatch]),
      events_(DaemonEvents::forThisProcess()) {}

int BrimletD::run() {
  const std::int32_t port = settings_.port;
  const std::string& logFileName = settings_.logFileName;
  std::string error;
  // Before anything is received, so that nothing is lost: the daemon does
  // not run with a lock that another user could hold or turn off.
  if (!lockFileUsable(logFileName, &error)) {
    printLine(console_, kLockFileLine + error);
    return 1;
  }
  std::string ipv4Only;
  auto socket = std::make_unique<UdpReceiver>();
  // The parser takes any 32-bit value; outside the port range the bind is not
  // even tried, since the system would read such a value modulo 65536. The C
  // runtime's text for EINVAL reads the same on every platform.
  if (port < 1 || port > 65535) {
    error = std::strerror(EINVAL);
  } else if (socket->open(static_cast<std::uint16_t>(port), settings_.listenOn, &error,
                          &ipv4Only)) {
    socket_ = std::move(socket);
    source_ = socket_.get();
  }
  if (source_ == nullptr) {
    printLine(console_, "Exception " + error);
    events_->portFailed(port, error);
    return 1;
  }
  if (!ipv4Only.empty()) printLine(console_, kIPv4OnlyLine + ipv4Only);
  // The socket has its buffer: nothing after this needs a privilege, and the
  // daemon never receives or starts a thread while it holds one.
  if (!dropCapabilities(&error)) {
    printLine(console_, kPrivilegeLine + error);
    return 1;
  }
  events_->started(settingsLine(settings_), logFileName);
  // Whoever takes the waiting line or the readiness for "ready" may stop the
  // daemon at once: the stop request must be the daemon's own by then.
  UdpReceiver* receiver = socket_.get();
  watchForStopRequest([this, receiver](std::chrono::milliseconds lockPatience) {
    requestStop(lockPatience);
    receiver->stop();
  });
  printLine(console_, "   Now waiting for incoming packets");
  if (!notifyReady(&error)) printLine(console_, kNotifyLine + error);
  journal_ =
      AlertJournal::forStandardOutput([this](const std::string& line) { echo_.print(line); });
  serve();
  stopRequestHandled();
  return 0;
}

BrimletD::BrimletD(Settings settings, DatagramSource& source, std::ostream& console,
                   std::size_t queueCapacity)
    : settings_(std::move(settings)),
      console_(console),
      echo_(streamWrite(console), kConsoleBufferBytes),
      buffer_(kDatagramBytes),
      source_(&source),
      queue_(queueCapacity),
      senderCheck_(settings_.allowed, settings_.rate),
      taken_(new QueuedDatagram[kMostPerBatch]),
      events_(std::make_unique<DaemonEvents>()) {}

BrimletD::~BrimletD() = default;

std::size_t BrimletD::dumpToFile(const JoinedLines& entries, std::string* error,
                                 bool* lockGivenUp) {
  const std::size_t written =
      appendJoined(settings_.logFileName, entries, error, &lockWait_, lockGivenUp);
  if (*lockGivenUp) {
    notLogged_ = saturatingSum(notLogged_, static_cast<std::uint32_t>(entries.ends.size()));
  }
  return written;
}

void BrimletD::requestStop(std::chrono::milliseconds lockPatience) {
  lockPatience_ = std::max<std::int64_t>(1, lockPatience.count());
}

namespace {

std::string seconds(std::chrono::milliseconds length) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(length.count()) / 1000.0);
  return text;
}

}  // namespace

bool BrimletD::WriterLockWait::mayWait() {
  const std::int64_t deadline = daemon_.lockDeadline_.load();
  return deadline == 0 || std::chrono::steady_clock::now().time_since_epoch().count() < deadline;
}

void BrimletD::WriterLockWait::began() { daemon_.echo_.print(kLockWaitLine); }

void BrimletD::WriterLockWait::refused(const std::string& reason) {
  daemon_.echo_.print(kLockRefusedLine + reason);
}

void BrimletD::WriterLockWait::ended(std::chrono::milliseconds length, bool had) {
  daemon_.echo_.print((had ? kLockHadLine : kLockGivenUpLine) + seconds(length));
}

std::string BrimletD::getCurrentDateFormated() {
  return arrivalSecond_ > 0 ? localTimeAt(static_cast<std::time_t>(arrivalSecond_))
                            : currentLocalTime();
}

void BrimletD::serve() {
  // The receiving side does nothing but receive, so that the socket's queue
  // in the kernel stays short however long the file takes; the console has
  // a thread of its own, so that nobody reading it holds up the log.
  echo_.start();
  std::thread writer([this] {
    giveWayToOtherThreads();
    while (writeWaiting()) {
      // A burst gathers in the queue meanwhile: the next append takes more
      // of it at once, and the receiving thread keeps the processor. A full
      // turn goes on at once: more is waiting.
      if (lastTurn_ < kMostPerBatch) std::this_thread::sleep_for(kGatherPause);
    }
  });
  std::chrono::milliseconds pause = kFirstErrorPause;
  for (ReceiveStep step; (step = receiveOne()) != ReceiveStep::Stopped;) {
    if (step != ReceiveStep::Failed) {
      pause = kFirstErrorPause;
    } else {
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, kLongestErrorPause);
    }
  }
  for (const auto& line : refusals_.remainingLines()) tellRefusal(line);
  // Another writer's lock may hold the queue up; from now on it gets a
  // bounded time, so that the stop ends, and what it keeps from the log is
  // counted.
  std::int64_t patience = lockPatience_.load();
  if (patience == 0) patience = kStopLockPatience.count();
  lockDeadline_ = (std::chrono::steady_clock::now() + std::chrono::milliseconds(patience))
                      .time_since_epoch()
                      .count();
  queue_.close();
  writer.join();
  if (queue_.droppedAtEnd() > 0) reportDropped(queue_.droppedAtEnd());
  if (droppedBySystem_ > 0) reportDroppedBySystem(droppedBySystem_);
  if (notLogged_ > 0) echo_.print(kNotLoggedLine + std::to_string(notLogged_));
  if (leftInSocket_ > 0) echo_.print(kLeftLine + std::to_string(leftInSocket_));
  events_->stopped(notLogged_, leftInSocket_);
  echo_.finish(kConsolePatience);
}

BrimletD::ReceiveStep BrimletD::receiveOne() {
  const ReceiveResult result = source_->receive(buffer_.data(), buffer_.size());
  droppedBySystem_ = saturatingSum(droppedBySystem_, result.droppedBySystem);
  if (result.stopped) {
    leftInSocket_ = saturatingSum(leftInSocket_, result.leftInSocket);
    return ReceiveStep::Stopped;
  }
  // The sender is checked here, before anything else is done with the
  // datagram: a flood of refused ones never reaches the queue, and costs
  // no clock text.
  if (senderCheck_.active()) {
    const std::int64_t now = steadyNow();
    const SenderVerdict verdict =
        result.received ? senderCheck_.decide(result.sender, now) : SenderVerdict::Kept;
    if (verdict != SenderVerdict::Kept) refusals_.count(verdict, result.sender);
    tellRefusals(now);
    if (verdict != SenderVerdict::Kept) return ReceiveStep::Refused;
  }
  if (result.idle) return ReceiveStep::Idle;
  // The reception time is taken here, not when the entry is written; only
  // this thread reads the clock.
  received_.receiveFailed = !result.received;
  received_.length = 0;
  received_.timeLength = 0;
  if (result.received) {
    arrivalSecond_ = result.arrivalSecond;
    const std::string time = getCurrentDateFormated();
    // The daemon's own clock always fits; only an override could give more.
    received_.timeLength =
        static_cast<std::uint8_t>(std::min(time.size(), QueuedDatagram::kTimeBytes));
    std::memcpy(received_.receptionTime, time.data(), received_.timeLength);
    received_.length = static_cast<std::uint16_t>(std::min(result.length, buffer_.size()));
    received_.sender = result.sender;
    std::memcpy(received_.payload, buffer_.data(), received_.length);
  }
  received_.droppedBySystem = droppedBySystem_;
  if (queue_.push(received_)) droppedBySystem_ = 0;
  return result.received ? ReceiveStep::Received : ReceiveStep::Failed;
}

void BrimletD::tellRefusals(std::int64_t now) {
  for (const auto& line : refusals_.dueLines(now)) tellRefusal(line);
}

void BrimletD::tellRefusal(const SenderRefusals::Line& line) {
  echo_.print(line.text);
  events_->refused(static_cast<std::uint32_t>(std::min<std::uint64_t>(line.count, UINT32_MAX)),
                   line.reason);
}

bool BrimletD::writeOne() { return writeSome(1); }

bool BrimletD::writeWaiting() { return writeSome(kMostPerBatch); }

bool BrimletD::writeSome(std::size_t most) {
  const std::size_t count = queue_.popSome(taken_.get(), most);
  lastTurn_ = count;
  if (count == 0) return false;
  // The tests see the raw text; only what is written out is escaped.
  const AlertFilter alertFilter(settings_.showOnlyAlert, settings_.filter, settings_.filtrePositif);
  const bool looksAtText = alertFilter.looksAtText();
  // Never shrunk: each turn reuses the strings of the last ones, and a
  // burst's entries allocate nothing.
  if (handled_.size() < count) handled_.resize(count);
  gathered_.records.clear();
  gathered_.ends.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const QueuedDatagram& datagram = taken_[i];
    Handled& handled = handled_[i];
    handled.filterLine.clear();
    handled.entry.clear();
    if (datagram.receiveFailed) continue;
    const std::string_view message(datagram.payload, datagram.length);
    if (looksAtText) {
      upper_.assign(message);
      toUpperLatin1(&upper_);
      FilterDecision decision = alertFilter.decide(upper_);
      handled.filterLine = std::move(decision.consoleLine);
      if (!decision.keep) continue;
    }
    appendEntry(&handled.entry, std::string_view(datagram.receptionTime, datagram.timeLength),
                message);
    handled.gathered = gathered_.ends.size();
    gathered_.records += handled.entry;
    gathered_.records += kLineSeparator;
    gathered_.ends.push_back(gathered_.records.size());
  }

  // One append, and each entry that did not make it whole is reported as a
  // single failed entry is. Entries that the stop could not wait for are
  // counted, and shown on the console all the same.
  std::size_t written = 0;
  std::string error;
  bool givenUp = false;
  if (!gathered_.ends.empty()) written = dumpToFile(gathered_, &error, &givenUp);

  // The journal gets the turn's entries at once, in their order; below,
  // each is echoed on the console where the journal did not take it.
  if (journal_ != nullptr) {
    for (std::size_t i = 0; i < count; ++i) {
      if (handled_[i].entry.empty()) continue;
      message_.assign(taken_[i].payload, taken_[i].length);
      journal_->add(handled_[i].entry, message_, formatAddress(taken_[i].sender));
    }
    journal_->sendAdded();
  }
  std::size_t journalled = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const Handled& handled = handled_[i];
    reportDrops(taken_[i]);
    if (taken_[i].receiveFailed) echo_.print(kSocketErrorLine);
    if (!handled.filterLine.empty()) echo_.print(handled.filterLine);
    if (handled.entry.empty()) continue;
    if (handled.gathered >= written && !givenUp) {
      echo_.print(kFileErrorLine + error);
      events_->logFailed(settings_.logFileName, error);
    }
    if (events_->recordsAlerts()) {
      message_.assign(taken_[i].payload, taken_[i].length);
      sender_ = formatAddress(taken_[i].sender);
      events_->alertKept(message_, sender_);
    }
    if (journal_ != nullptr && journal_->took(journalled++)) continue;
    echo_.print(handled.entry);
  }
  return true;
}

// Printed once a run of drops is over: with the next datagram that found
// room, or at the stop.
void BrimletD::reportDropped(std::uint32_t count) {
  echo_.print(kDroppedLine + std::to_string(count));
  events_->droppedByQueue(count);
}

void BrimletD::reportDroppedBySystem(std::uint32_t count) {
  echo_.print(kSystemDroppedLine + std::to_string(count));
  events_->droppedBySocket(count);
}

void BrimletD::reportDrops(const QueuedDatagram& datagram) {
  if (datagram.droppedBySystem > 0) reportDroppedBySystem(datagram.droppedBySystem);
  if (datagram.droppedBefore > 0) reportDropped(datagram.droppedBefore);
}
