// Import throughput from loaded records into a fresh vCard folder, the save included.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "addressbook/ABAppleAddressBook.h"
#include "addressbook/store/ABStore.h"
#include "import/ABProgressObserver.h"
#include "import/ABRecord.h"
#include "mapping/ABMap.h"

namespace {

constexpr int kPeople = 100000;

const char* const kFirst[] = {"Anna", "Frédérique", "Jan", "François", "Zoë", "Pieter", "Élodie"};
const char* const kLast[] = {"de Vries", "Lefèvre", "Jansen", "Müller", "van Dijk", "Dubois"};

std::vector<ABRecord> MakeRecords() {
  std::vector<ABRecord> records;
  records.reserve(kPeople);
  for (int i = 0; i < kPeople; ++i) {
    const std::string first = kFirst[i % 7];
    const std::string last = kLast[i % 6];
    const std::string n = std::to_string(i);
    records.push_back(ABRecord{first, last, i % 5 == 0 ? "Bakkerij Visser BV" : "",
                               "+31 20 555 " + n, "+31 6 " + n, first + "." + n + "@example.nl",
                               "Prinsengracht " + n + "\nAchterhuis", "Amsterdam", "1016 GV",
                               "Nederland", "1980-05-01", "Met vriendelijke groet\\nnummer " + n});
  }
  return records;
}

ABMapLink::Pointer Link(const char* id, int column, const char* label = "") {
  return std::make_shared<ABMapLink>(id, column, label);
}

std::unique_ptr<ABMap> MakeMap() {
  auto map = std::make_unique<ABMap>(std::make_shared<ABAppleAddressBook>());
  map->AppendLink(Link("FirstName", 0));
  map->AppendLink(Link("LastName", 1));
  map->AppendLink(Link("Company", 2));
  map->AppendLink(Link("Phone", 3, "LabelWork"));
  map->AppendLink(Link("Phone", 4, "LabelMobile"));
  map->AppendLink(Link("Email", 5, "LabelHome"));
  auto address = Link("Address", 0, "LabelHome");
  address->AppendSubLink(Link("Street", 6));
  address->AppendSubLink(Link("City", 7));
  address->AppendSubLink(Link("PostalCode", 8));
  address->AppendSubLink(Link("Country", 9));
  map->AppendLink(address);
  map->AppendLink(Link("Birthday", 10));
  map->AppendLink(Link("Note", 11));
  map->Group = "Benchmark";
  return map;
}

// Counts steps as the import thread's observer would, without drawing anything.
class CountingObserver final : public ABProgressObserver {
 public:
  bool ProgressStep(const ABRecord&) override { return ++mSteps < 0; }
  void ProgressLength(std::int64_t) override {}
  void ProgressEnded() override {}
  void ProgressStarted() override {}

 private:
  std::int64_t mSteps = 0;
};

void BM_ImportIntoVCardFolder(benchmark::State& state) {
  const std::vector<ABRecord> records = MakeRecords();
  const std::unique_ptr<ABMap> map = MakeMap();
  char pattern[] = "/tmp/quillbrook-bench-XXXXXX";
  const std::filesystem::path root = mkdtemp(pattern);
  int run = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::filesystem::path folder = root / std::to_string(run++);
    ABStore::SetSharedFolder(folder);
    CountingObserver observer;
    state.ResumeTiming();
    if (!map->AddressBook->Import(records, *map, &observer)) {
      state.SkipWithError(ABStore::Shared()->LastError().c_str());
    }
  }
  // Removing 100 000 files is slow work for the file system; it is kept out of the timed part.
  std::filesystem::remove_all(root);
  state.SetItemsProcessed(state.iterations() * kPeople);
  state.counters["people/s"] = benchmark::Counter(static_cast<double>(kPeople),
                                                  benchmark::Counter::kIsIterationInvariantRate);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

BENCHMARK(BM_ImportIntoVCardFolder)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
