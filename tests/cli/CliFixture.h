#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "CliProcess.h"
#include "support/TestSupport.h"

namespace clitest {

// A temporary folder with a home for the program inside it, and helpers to look at the cards
// a run wrote.
class CliTest : public ::testing::Test {
 protected:
  CliTest() : mCli(mDir.Path() / "home") {}

  std::filesystem::path Write(std::string_view name, std::string_view bytes) const {
    return mDir.Write(name, bytes);
  }
  std::string PathOf(std::string_view name) const { return (mDir.Path() / name).string(); }

  // Files in a folder whose names end in `suffix`.
  static int CountFiles(const std::filesystem::path& folder, std::string_view suffix);
  // Every .vcf file of a folder, one after the other.
  static std::string AllCards(const std::filesystem::path& folder);
  // A map file for the contact files the tests write: first name, last name, phone (work).
  std::string WriteMap(std::string_view group = "", int rangeStart = 0, int rangeEnd = -1) const;

  testsupport::TempDir mDir;
  CliProcess mCli;
};

}  // namespace clitest
