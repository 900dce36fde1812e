#include "process/privileges.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "process/system_error.h"

namespace {

// The arguments of the capget and capset system calls in their version 3:
// each set is 64 bits wide, split over two of these, low half first.
struct CapabilityHeader {
  std::uint32_t version;
  int pid;
};
struct CapabilityHalves {
  std::uint32_t effective;
  std::uint32_t permitted;
  std::uint32_t inheritable;
};

// No kernel knows more capabilities than a 64-bit set holds.
constexpr int kMostCapabilities = 64;

bool readCapabilities(CapabilityHalves (&sets)[2]) {
  CapabilityHeader header{_LINUX_CAPABILITY_VERSION_3, 0};
  return ::syscall(SYS_capget, &header, sets) == 0;
}

bool holdsAny(const CapabilityHalves (&sets)[2]) {
  // The ambient set is always part of the permitted one.
  for (const CapabilityHalves& half : sets) {
    if (half.effective != 0 || half.permitted != 0 || half.inheritable != 0) return true;
  }
  return false;
}

bool holdsEffective(const CapabilityHalves (&sets)[2], int capability) {
  return (sets[capability / 32].effective >> (capability % 32) & 1) != 0;
}

bool fail(const char* what, std::string* error) {
  *error = std::string(what) + ": " + describeSystemError(errno);
  return false;
}

}  // namespace

bool dropCapabilities(std::string* error) {
  // Root stays root over its own files without capabilities; an operator who
  // starts the daemon as root has chosen that.
  if (::geteuid() == 0) return true;
  CapabilityHalves sets[2]{};
  if (readCapabilities(sets) && !holdsAny(sets)) return true;

  // EINVAL: a kernel without ambient capabilities, so none to clear.
  if (::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0) != 0 && errno != EINVAL) {
    return fail("ambient capabilities", error);
  }
  // Shrinking the bounding set takes CAP_SETPCAP, which the unit does not
  // grant; there it stays at CAP_NET_ADMIN. It only bounds what running
  // another program could gain, and the daemon runs none (the unit forbids
  // gaining any on exec as well). EINVAL marks the end of the kernel's list.
  if (holdsEffective(sets, CAP_SETPCAP)) {
    for (int capability = 0; capability < kMostCapabilities; ++capability) {
      if (::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0) == 0) continue;
      if (errno == EINVAL) break;
      return fail("bounding capability set", error);
    }
  }
  CapabilityHeader header{_LINUX_CAPABILITY_VERSION_3, 0};
  const CapabilityHalves none[2]{};
  if (::syscall(SYS_capset, &header, none) != 0) return fail("capset", error);
  return true;
}
