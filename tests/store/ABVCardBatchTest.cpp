#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "StoreTestSupport.h"
#include "addressbook/store/ABStore.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABVCardBatch.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using storetest::FolderNames;
using testsupport::ReadFile;
using testsupport::TempDir;

TEST(ABVCardBatchTest, shouldReportAFullDevice) {
  const int fd = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0) << std::strerror(errno);
  errno = 0;
  EXPECT_FALSE(ABVCardBatch::WriteAll(fd, std::string(10000, 'x')));
  EXPECT_EQ(errno, ENOSPC);
  close(fd);
}

TEST(ABVCardBatchTest, shouldWriteEveryByte) {
  TempDir temp;
  const fs::path path = temp.Path() / "out";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  const std::string bytes(1 << 20, 'y');
  EXPECT_TRUE(ABVCardBatch::WriteAll(fd, bytes));
  close(fd);
  EXPECT_EQ(ReadFile(path), bytes);
}

TEST(ABVCardBatchTest, shouldRemoveEverythingOfABatchThatDoesNotCommit) {
  TempDir temp;
  {
    ABVCardBatch batch(temp.Path());
    ASSERT_TRUE(batch.Open());
    ASSERT_TRUE(batch.Add("a.vcf", "A"));
    ASSERT_TRUE(batch.Add("b.vcf", "B"));
    EXPECT_EQ(FolderNames(temp.Path()), (std::vector<std::string>{"a.vcf.tmp", "b.vcf.tmp"}));
    EXPECT_FALSE(batch.Add("a.vcf", "again"));
    EXPECT_FALSE(batch.Add("../c.vcf", "C"));
    EXPECT_FALSE(batch.Add("", "D"));
  }
  EXPECT_TRUE(FolderNames(temp.Path()).empty());

  ABVCardBatch batch(temp.Path());
  ASSERT_TRUE(batch.Open());
  ASSERT_TRUE(batch.Add("a.vcf", "A"));
  ASSERT_TRUE(batch.Commit()) << batch.LastError();
  EXPECT_EQ(FolderNames(temp.Path()), std::vector<std::string>{"a.vcf"});
  EXPECT_EQ(ReadFile(temp.Path() / "a.vcf"), "A");
}

TEST(ABVCardBatchTest, shouldMoveByLinkOnlyToAFreeName) {
  TempDir temp;
  temp.Write("card.vcf.tmp", "new");
  temp.Write("taken.vcf", "old");
  const int folder = open(temp.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);
  errno = 0;
  EXPECT_FALSE(ABVCardBatch::MoveByLink(folder, "card.vcf.tmp", "taken.vcf"));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadFile(temp.Path() / "taken.vcf"), "old");
  EXPECT_EQ(ReadFile(temp.Path() / "card.vcf.tmp"), "new");

  EXPECT_TRUE(ABVCardBatch::MoveByLink(folder, "card.vcf.tmp", "card.vcf"));
  close(folder);
  EXPECT_EQ(FolderNames(temp.Path()), (std::vector<std::string>{"card.vcf", "taken.vcf"}));
  EXPECT_EQ(ReadFile(temp.Path() / "card.vcf"), "new");
}

// A tiny file system of its own, so the disk really fills up; needs the right to mount.
class SmallFileSystem final {
 public:
  explicit SmallFileSystem(fs::path path) : mPath(std::move(path)) {
    fs::create_directories(mPath);
    mMounted = mount("tmpfs", mPath.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
    mError = errno;
  }
  ~SmallFileSystem() {
    if (mMounted) {
      umount2(mPath.c_str(), MNT_DETACH);
    }
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool Mounted() const { return mMounted; }
  int Error() const { return mError; }

 private:
  fs::path mPath;
  bool mMounted = false;
  int mError = 0;
};

TEST(ABVCardBatchTest, shouldLeaveNothingBehindWhenTheDiskIsFull) {
  TempDir temp;
  const fs::path folder = temp.Path() / "small";
  SmallFileSystem small(folder);
  if (!small.Mounted()) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(small.Error())
                 << "); the full-device case is covered by shouldReportAFullDevice";
  }
  const std::string existing = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Kept\r\nEND:VCARD\r\n";
  temp.Write("small/kept.vcf", existing);

  ABStore store(folder);
  for (int i = 0; i < 40; ++i) {
    auto person = store.CreatePerson();
    ASSERT_TRUE(person->SetValue(abstore::kNoteProperty, std::string(3000, 'n')));
    ASSERT_TRUE(store.AddRecord(person));
  }
  EXPECT_FALSE(store.Save());
  EXPECT_NE(store.LastError().find(folder.string()), std::string::npos) << store.LastError();
  EXPECT_NE(store.LastError().find(std::strerror(ENOSPC)), std::string::npos) << store.LastError();
  EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"kept.vcf"});
  EXPECT_EQ(ReadFile(folder / "kept.vcf"), existing);
  EXPECT_EQ(store.PendingCount(), 40u);
}

}  // namespace
