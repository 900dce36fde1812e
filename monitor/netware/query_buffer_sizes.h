// The buffers the queries hand the client to fill, beyond the record's own
// (core/quota_types.h). The simulated network refuses a description whose
// texts would not fit them, so a test network can never be cut where a real
// server's answer would fit.
#pragma once

#include <cstddef>
#include <cstdint>

// The volume name of the watched path (disk restriction).
constexpr size_t kVolumeNameBufferSize = 48;
// The long-name form of the server path (disk restriction).
constexpr uint16_t kLongPathBufferSize = 256;
// The user object's name and one attribute's name read from the directory
// (account balance).
constexpr size_t kObjectNameBufferSize = 512;
constexpr size_t kAttributeNameBufferSize = 260;
