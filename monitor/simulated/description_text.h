// The text of a network description as lines, and the writer's text quoted
// safely inside messages.
#pragma once

#include <string>
#include <vector>

// Splits the text into lines: LF, CR LF and a lone CR each end a line. A
// UTF-8 byte-order mark at the start is skipped. UTF-16 text is refused
// (false, with *reason saying so): its NUL bytes would otherwise read as
// broken lines.
bool SplitDescriptionLines(const std::string& text, std::vector<std::string>* lines,
                           std::string* reason);

// The position of the first control byte of the line (a tab is a blank, not
// a control byte); std::string::npos when there is none.
size_t FindControlByte(const std::string& line);

// The text as it may stand in a message: control bytes and DEL written as
// \xNN, so that a message is never cut at a NUL nor moves a terminal.
std::string Printable(const std::string& text);

// Printable(text) in single quotes.
std::string Quoted(const std::string& text);
