#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/LumoLanguage.h"

namespace {

LumoLanguage Make(std::string content) {
  return LumoLanguage("xx", "Test", std::move(content), "credits");
}

struct LookupCase {
  std::string content;
  std::string key;
  std::vector<std::string> arguments;
  std::string expected;
};

TEST(LumoLanguageTest, shouldParseLinesAndFillPlaceholders) {
  const std::vector<LookupCase> cases = {
      {"Greeting = Hello ~1 # note", "Greeting", {}, "Hello ~1"},
      {"Greeting = Hello ~1", "greeting", {"you"}, "Hello you"},
      {"A = b = c", "A", {}, ""},
      {"NoEquals here", "NoEquals here", {}, ""},
      {"A = x\nA =", "A", {}, ""},
      {"Title = first\nTITLE = second", "title", {}, "second"},
      {"# A = commented out", "A", {}, ""},
      {"A = kept # B = comment", "B", {}, ""},
      {"  Spaced Key \t=\t value with spaces  ", "spaced key", {}, "value with spaces"},
      {"A = one\r\nB = two\r\n", "A", {}, "one"},
      // A carriage return alone does not end a line, so this line has two "=".
      {"A = one\rB = two", "A", {}, ""},
      {"\xEF\xBB\xBF"
       "First = yes",
       "First",
       {},
       "yes"},
      {"K = ~2 before ~1", "K", {"x", "y"}, "y before x"},
      {"K = ~1 and ~1", "K", {"x"}, "x and ~1"},
      {"K = ~1 and ~2", "K", {}, "~1 and ~2"},
      {"K = plain", "K", {"a", "b"}, "plain"},
      {"K = ~1~2", "K", {"a~2", "b"}, "ab~2"},
      {"K = ~1", "K", {"~1"}, "~1"},
      {"K = ~1 ~9 ~10", "K", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}, "a i ~10"},
      {"K = some text", "Missing", {"a", "b"}, ""},
      {"", "K", {}, ""},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE("content \"" + c.content + "\", key " + c.key);
    const LumoLanguage language = Make(c.content);
    EXPECT_EQ(language.Text(c.key, c.arguments), c.expected);
  }
}

TEST(LumoLanguageTest, shouldKeepItsTextsAndParseOnFirstLookup) {
  const LumoLanguage language("fr", "Français", "OKButton = OK", "Écrit par\n\nnous");
  EXPECT_EQ(language.Identifier(), "fr");
  EXPECT_EQ(language.Name(), "Français");
  EXPECT_EQ(language.Content(), "OKButton = OK");
  EXPECT_EQ(language.AboutText(), "Écrit par\n\nnous");
  EXPECT_FALSE(language.Loaded());
  EXPECT_EQ(language.Text("okbutton"), "OK");
  EXPECT_TRUE(language.Loaded());
}

TEST(LumoLanguageTest, shouldStoreALineReadWithParseLine) {
  LumoLanguage language = Make("A = from content");
  language.ParseStrings();
  language.ParseLine("B = added");
  language.ParseLine("a = replaced");
  EXPECT_EQ(language.Text("B"), "added");
  EXPECT_EQ(language.Text("A"), "replaced");
}

TEST(LumoLanguageTest, shouldParseOnceWhenManyThreadsLookUpAtOnce) {
  std::string content;
  for (int i = 0; i < 2000; ++i) {
    content += "Key" + std::to_string(i) + " = Value ~1 " + std::to_string(i) + "\n";
  }
  const LumoLanguage language = Make(content);
  std::vector<std::string> results(8);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < results.size(); ++t) {
    threads.emplace_back(
        [&language, &results, t] { results[t] = language.Text("key1999", {"x"}); });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (const std::string& result : results) {
    EXPECT_EQ(result, "Value x 1999");
  }
  EXPECT_TRUE(language.Loaded());
}

}  // namespace
