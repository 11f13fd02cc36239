#include <gtest/gtest.h>

#include <fstream>

#include "SamplePeople.h"
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

namespace {

TEST(ABStoreGoldenTest, shouldWriteCardsLikeTheReferenceFiles) {
  const storetest::GmtOffsetOverride offset(storetest::kSampleGmtOffset);
  for (const storetest::SamplePerson& sample : storetest::SamplePeople()) {
    SCOPED_TRACE(sample.Name);
    testsupport::TempDir temp;
    ABStore store(temp.Path());
    auto person = store.CreatePerson();
    ASSERT_TRUE(store.AddRecord(person));
    sample.Build(store, person);
    ASSERT_TRUE(store.Save()) << store.LastError();
    const std::string actual =
        storetest::Normalised(testsupport::ReadFile(temp.Path() / (person->UniqueId() + ".vcf")));
    const std::filesystem::path reference =
        testsupport::Fixture("store/data/" + sample.Name + ".vcf.ref");
    const std::string expected = testsupport::ReadFile(reference);
    if (actual != expected) {
      // Kept for a look at what changed, outside the source tree.
      const std::string kept = testing::TempDir() + sample.Name + ".vcf.actual";
      std::ofstream(kept, std::ios::binary) << actual;
      ADD_FAILURE() << "the card differs from " << reference << "; it is kept in " << kept;
    }
    storetest::ExpectSameLines(actual, expected, sample.Name);
  }
}

}  // namespace
