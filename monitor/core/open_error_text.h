// The texts a link shows when an address cannot be opened.
#pragma once

#include <cstdint>
#include <string>

// The result OpenInBrowser gives for an address whose browser command line
// would not fit: the shell's own "not enough memory" code, so that the user
// sees that text.
constexpr uint32_t kOpenErrorCommandTooLong = 8;

// The description of a shell-open (or program start) result that is not a
// success; codes outside the shell's table get "Unknown Error (<code>)
// occurred.", with the code as a signed number.
std::string OpenErrorDescription(uint32_t code);

// "Unable to open hyperlink:\n\n" followed by the description: the text of
// the link's message box.
std::string OpenErrorMessage(uint32_t code);
