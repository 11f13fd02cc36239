#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/LumoLanguage.h"
#include "app/Resources.h"
#include "support/TestSupport.h"

namespace {

const std::vector<std::string> kLanguages = {"en", "nl", "fr"};

// Every key of the system with the placeholder numbers its text carries.
std::map<std::string, std::set<char>> ReadKeys() {
  std::map<std::string, std::set<char>> keys;
  std::istringstream lines(testsupport::ReadFile(testsupport::Fixture("app/keys.txt")));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line.front() == '#') {
      continue;
    }
    std::istringstream words(line);
    std::string key;
    std::string placeholder;
    words >> key;
    std::set<char>& numbers = keys[key];
    while (words >> placeholder) {
      numbers.insert(placeholder.back());
    }
  }
  return keys;
}

std::set<char> PlaceholdersIn(const std::string& text) {
  std::set<char> numbers;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '~' && text[i + 1] >= '1' && text[i + 1] <= '9') {
      numbers.insert(text[i + 1]);
    }
  }
  return numbers;
}

// "Key = Text": an alphanumeric key, one "=", no "#", and "~" only as a placeholder marker.
bool IsKeyLine(const std::string& line) {
  const std::size_t equals = line.find(" = ");
  if (equals == std::string::npos || equals == 0 || line.find('#') != std::string::npos ||
      line.find('=', equals + 2) != std::string::npos) {
    return false;
  }
  for (std::size_t i = 0; i < equals; ++i) {
    if (!std::isalnum(static_cast<unsigned char>(line[i]))) {
      return false;
    }
  }
  for (std::size_t i = equals; i < line.size(); ++i) {
    if (line[i] == '~' && (i + 1 == line.size() || line[i + 1] < '1' || line[i + 1] > '9')) {
      return false;
    }
  }
  return true;
}

std::string Resource(const std::string& path) {
  const auto content = Resources::Find(path);
  return content ? std::string(*content) : std::string();
}

TEST(ResourcesTest, shouldKeepTheKeyListInStepWithTheSharedOne) {
  const std::filesystem::path shared =
      std::filesystem::path(QB_SOURCE_DIR) / ".." / "shared" / "keys.txt";
  if (!std::filesystem::exists(shared)) {
    GTEST_SKIP() << "no shared key list beside the repository";
  }
  EXPECT_EQ(testsupport::ReadFile(testsupport::Fixture("app/keys.txt")),
            testsupport::ReadFile(shared));
}

TEST(ResourcesTest, shouldGiveEveryKeyATextWithExactlyItsPlaceholders) {
  const auto keys = ReadKeys();
  ASSERT_GT(keys.size(), 100U);
  for (const std::string& identifier : kLanguages) {
    SCOPED_TRACE(identifier);
    const std::string content = Resource("strings/" + identifier + ".strings");
    ASSERT_FALSE(content.empty());
    const LumoLanguage language(identifier, identifier, content, "");
    for (const auto& [key, placeholders] : keys) {
      SCOPED_TRACE(key);
      const std::string text = language.Text(key);
      EXPECT_FALSE(text.empty());
      EXPECT_EQ(PlaceholdersIn(text), placeholders);
    }
  }
}

TEST(ResourcesTest, shouldHoldOnlyCommentsBlankLinesAndSingleKeyLines) {
  for (const std::string& identifier : kLanguages) {
    std::istringstream lines(Resource("strings/" + identifier + ".strings"));
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
      ++number;
      SCOPED_TRACE(identifier + " line " + std::to_string(number));
      if (line.empty() || line.front() == '#') {
        continue;
      }
      EXPECT_TRUE(IsKeyLine(line)) << line;
    }
  }
}

TEST(ResourcesTest, shouldGiveEveryLabelItsOwnTextInEachLanguage) {
  const auto keys = ReadKeys();
  for (const std::string& identifier : kLanguages) {
    SCOPED_TRACE(identifier);
    const LumoLanguage language(identifier, identifier,
                                Resource("strings/" + identifier + ".strings"), "");
    std::map<std::string, std::string> keyOfText;
    for (const auto& entry : keys) {
      if (entry.first.rfind("Label", 0) != 0) {
        continue;
      }
      const auto [it, added] = keyOfText.emplace(language.Text(entry.first), entry.first);
      EXPECT_TRUE(added) << entry.first << " repeats the text of " << it->second;
    }
  }
}

TEST(ResourcesTest, shouldGiveEachCreditsTextNineParagraphsWithShortHeadings) {
  for (const std::string& identifier : kLanguages) {
    SCOPED_TRACE(identifier);
    std::istringstream lines(Resource("credits/" + identifier + ".txt"));
    std::vector<std::string> paragraphs;
    std::string line;
    bool inParagraph = false;
    while (std::getline(lines, line)) {
      if (line.empty()) {
        inParagraph = false;
        continue;
      }
      if (!inParagraph) {
        paragraphs.emplace_back();
      }
      paragraphs.back() += (inParagraph ? "\n" : "") + line;
      inParagraph = true;
    }
    ASSERT_GE(paragraphs.size(), 9U);
    // The About box sets paragraphs 2, 4, 6 and 8 in bold, so they are headings.
    for (std::size_t heading : {2U, 4U, 6U, 8U}) {
      SCOPED_TRACE(paragraphs[heading]);
      EXPECT_LT(paragraphs[heading].size(), 40U);
      EXPECT_EQ(paragraphs[heading].find('\n'), std::string::npos);
    }
    EXPECT_NE(paragraphs[0].find("Quillbrook"), std::string::npos);
  }
}

}  // namespace
