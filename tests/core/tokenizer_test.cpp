#include "core/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"

namespace {

struct TokenVector {
  const char* name;
  std::string text;
  std::vector<std::string> tokens;
};

// Everything the tokenizer hands out, the way the parser asks for it.
std::vector<std::string> AllTokens(const std::string& text) {
  CTokenizer tokenizer(text);
  std::vector<std::string> tokens;
  for (int guard = 0; guard < 64 && tokenizer.HasMoreTokens(); ++guard) {
    tokens.push_back(tokenizer.NextToken());
  }
  return tokens;
}

class CoreTokenizer : public testing::TestWithParam<TokenVector> {};

TEST_P(CoreTokenizer, SplitsAtSingleBlanks) {
  EXPECT_EQ(AllTokens(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(Vectors, CoreTokenizer,
                         testing::ValuesIn(std::vector<TokenVector>{
                             {"ThreeWords", "a b c", {"a", "b", "c"}},
                             {"OneWordYieldsNothing", "abc", {}},
                             {"EmptyYieldsNothing", "", {}},
                             {"DoubleBlankGivesEmptyToken", "a  b", {"a", "", "b"}},
                             {"TabDoesNotSeparate", "a\tb c", {"a\tb", "c"}},
                             {"LeadingBlank", " a", {"", "a"}},
                             {"TrailingBlank", "a ", {"a", ""}},
                             {"BlankAlone", " ", {"", ""}},
                             {"NineParameters",
                              "h:\\ 300 75 95 % N N 0 0",
                              {"h:\\", "300", "75", "95", "%", "N", "N", "0", "0"}}}),
                         CaseName());

TEST(CoreTokenizerEnd, NextTokenAfterTheEndGivesEmptyAndStaysEnded) {
  CTokenizer tokenizer("a b");
  EXPECT_EQ(tokenizer.NextToken(), "a");
  EXPECT_EQ(tokenizer.NextToken(), "b");
  EXPECT_FALSE(tokenizer.HasMoreTokens());
  EXPECT_EQ(tokenizer.NextToken(), "");
  EXPECT_FALSE(tokenizer.HasMoreTokens());
}

}  // namespace
