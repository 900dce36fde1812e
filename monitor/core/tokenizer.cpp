#include "core/tokenizer.h"

#include <utility>

CTokenizer::CTokenizer(std::string text) : fullText(std::move(text)), remaining(fullText) {}

bool CTokenizer::HasMoreTokens() const {
  return lastPending || remaining.find(delimiter) != std::string::npos;
}

std::string CTokenizer::NextToken() {
  if (lastPending) {
    lastPending = false;
    std::string last = std::move(remaining);
    remaining.clear();
    return last;
  }
  const std::size_t at = remaining.find(delimiter);
  if (at == std::string::npos) return std::string();
  std::string token = remaining.substr(0, at);
  remaining.erase(0, at + delimiter.size());
  if (remaining.find(delimiter) == std::string::npos) lastPending = true;
  return token;
}
