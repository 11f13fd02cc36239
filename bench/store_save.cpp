// Saving people as vCard files: building the cards alone, and whole saves into a fresh folder.
// QB_BENCH_STORE_PEOPLE=N adds a save of N people (such as 100000) to the default sizes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "addressbook/store/ABStore.h"
#include "addressbook/store/ABStoreKeys.h"
#include "addressbook/store/ABVCardWriter.h"

namespace {

using namespace abstore;

// A person like those an import makes: names, company, two phones, e-mail, address, birthday.
std::shared_ptr<ABStorePerson> MakePerson(ABStore& store, int i) {
  const std::string n = std::to_string(i);
  auto person = store.CreatePerson();
  person->SetValue(kFirstProperty, std::string(i % 2 ? "Fr\xC3\xA9"
                                                       "d\xC3\xA9rique"
                                                     : "Jan"));
  person->SetValue(kLastProperty, "de Vries " + n);
  person->SetValue(kOrganizationProperty, std::string("Bakkerij Visser BV"));
  ABMultiValue phones;
  phones.Add("+31 20 555 " + n, std::string(kWorkLabel));
  phones.Add("+31 6 " + n, std::string(kMobileLabel));
  person->SetValue(kPhoneProperty, phones);
  ABMultiValue emails;
  emails.Add("jan." + n + "@example.nl", std::string(kHomeLabel));
  person->SetValue(kEmailProperty, emails);
  ABDictionary address;
  address.Add(std::string(kStreetKey), "Prinsengracht " + n + "\nAchterhuis");
  address.Add(std::string(kCityKey), "Amsterdam");
  address.Add(std::string(kZIPKey), "1016 GV");
  address.Add(std::string(kCountryKey), "Nederland");
  ABMultiValue addresses;
  addresses.Add(address, std::string(kHomeLabel));
  person->SetValue(kAddressProperty, addresses);
  person->SetValue(kBirthdayProperty, ABDate{-652060800.0 + 3600});
  person->SetValue(kNoteProperty, "Met vriendelijke groet,\nnummer " + n);
  return person;
}

void BM_WriteCards(benchmark::State& state) {
  ABStore store("/nonexistent");
  const auto person = MakePerson(store, 12345);
  const ABVCardWriter writer(3600, "2024-01-01T00:00:00Z");
  const std::vector<std::string> categories = {"Klanten"};
  std::string card;
  for (auto _ : state) {
    card.clear();
    writer.Write(*person, "0f8e2f6a-3b1c-4d5e-9f00-1a2b3c4d5e6f", categories, card);
    benchmark::DoNotOptimize(card.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(card.size()));
}
BENCHMARK(BM_WriteCards);

void BM_SaveStore(benchmark::State& state) {
  const auto people = static_cast<int>(state.range(0));
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "quillbrook-bench-store-save";
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(folder);
    ABStore store(folder);
    auto group = store.CreateGroup();
    group->SetValue(kGroupNameProperty, std::string("Klanten"));
    store.AddRecord(group);
    for (int i = 0; i < people; ++i) {
      auto person = MakePerson(store, i);
      store.AddRecord(person);
      store.AddMember(group, person);
    }
    state.ResumeTiming();
    if (!store.Save()) {
      state.SkipWithError(store.LastError().c_str());
    }
  }
  state.SetItemsProcessed(state.iterations() * people);
  std::filesystem::remove_all(folder);
}

void SaveSizes(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(1000)->Arg(10000);
  if (const char* extra = getenv("QB_BENCH_STORE_PEOPLE")) {
    benchmark->Arg(std::atoi(extra));
  }
}
BENCHMARK(BM_SaveStore)
    ->Apply(SaveSizes)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
