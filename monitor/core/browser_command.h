// The command line that starts the web browser registered for ".htm" pages
// on an address, when the shell cannot open the address itself.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The command line is put together in a buffer of this many bytes, the
// terminator included.
constexpr std::size_t kBrowserCommandCapacity = 520;

// Whether a byte starts a two-byte character in the user's code page.
using IsLeadBytePredicate = bool (*)(unsigned char byte);

// The registered command `registered` (the default value of the browser's
// "shell\open\command" key) with its placeholder replaced by the address:
//
//   - the first "%1" with a double quotation mark right before and after it,
//     found stepping character by character (a quotation mark that is the
//     second byte of a two-byte character does not count): the text is cut
//     at that opening quotation mark;
//   - else the first "%1" of any kind, found byte by byte: the text is cut
//     there;
//   - else the whole text is kept.
//
// One blank and the address are then appended, unquoted. Whatever followed
// the placeholder is dropped, so `"browser.exe" "%1" -new` starts the browser
// with the address alone.
//
// Answers nothing when the command line would not fit in `capacity` bytes.
std::optional<std::string> BuildBrowserCommand(std::string_view registered,
                                               std::string_view address,
                                               IsLeadBytePredicate isLeadByte,
                                               std::size_t capacity = kBrowserCommandCapacity);
