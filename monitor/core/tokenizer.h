// The command line's token splitter.
#pragma once

#include <string>

// Hands out the blank-separated pieces of a text, one blank at a time. Only the
// blank separates (a tab is part of a token), two blanks in a row enclose an
// empty token, and a text without any blank yields no token at all: a one-word
// command line therefore counts as empty. The parser depends on all three.
class CTokenizer {
 public:
  explicit CTokenizer(std::string text);

  // Yes while the remaining text holds a blank or its last piece is pending.
  bool HasMoreTokens() const;

  // The next token. When HasMoreTokens() answers no, answers "" and changes
  // nothing.
  std::string NextToken();

 private:
  std::string fullText;
  std::string remaining;
  std::string delimiter = " ";
  bool lastPending = false;
};
