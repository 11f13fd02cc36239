// Loads a generated contact file of about 100 MB (QB_BENCH_IMPORT_MB sets another size) in four
// variants: CSV and tab-delimited, UTF-8 and Windows Latin 1. Reports MB/s, records/s and, from a
// child process per variant, the peak memory of one load.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "import/ABImportFile.h"
#include "import/ABProgressObserver.h"

namespace {

// Reports as a load thread does: counts steps and hands back a cancel flag.
class ThreadLikeObserver final : public ABProgressObserver {
 public:
  bool ProgressStep(const ABRecord&) override {
    mSteps.fetch_add(1, std::memory_order_relaxed);
    return mCancel.load(std::memory_order_relaxed);
  }
  void ProgressLength(std::int64_t count) override {
    mTotal.store(count, std::memory_order_relaxed);
  }
  void ProgressEnded() override {}
  void ProgressStarted() override {}

 private:
  std::atomic<std::int64_t> mSteps{0};
  std::atomic<std::int64_t> mTotal{0};
  std::atomic<bool> mCancel{false};
};

struct Variant {
  std::string name;
  bool csv;
  TextEncoding encoding;
  std::filesystem::path file;
  std::uintmax_t size = 0;
  double peakMB = 0;
  double loadMB = 0;
};

const std::vector<std::string> kFirstNames = {
    "Frédérique", "Jan",  "Zoë",   "Pieter", "Anaïs",  "Sophie", "Çedille", "Thomas",
    "José",       "Emma", "Søren", "Lucas",  "Noémie", "Daan",   "Inès",    "Willem"};
const std::vector<std::string> kLastNames = {
    "Müller", "de Vries", "Jansen", "Dubois", "Bakker", "Lefèvre", "van den Berg", "Martin",
    "Smit",   "Peña",     "Visser", "Garçon", "Meijer", "Bernard", "Mulder",       "Brouwer"};
const std::vector<std::string> kCompanies = {
    "Acme Holding B.V.",         "Boulangerie Lumière", "Smith, Jones & Co", "De Gouden Draak",
    "Société Générale d'Import", "Kaashandel Noord",    "Ateliers Réunis",   ""};
const std::vector<std::string> kStreets = {"Keizersgracht", "Rue de la Paix",
                                           "Dorpsstraat",   "Avenue des Champs-Élysées",
                                           "Hoofdweg",      "Marktplein"};
const std::vector<std::string> kCities = {"Amsterdam", "Paris",  "Utrecht", "Liège",
                                          "Rotterdam", "Genève", "Gent",    "Zürich"};
const std::vector<std::string> kNotes = {"Customer since 2003; prefers e-mail",
                                         "Met at the trade fair in Köln",
                                         "Said \"call me\" after five",
                                         "",
                                         "Allergic to peanuts, send flowers instead",
                                         "Vegetarisch; verjaardag in maart"};

std::string AsciiLower(std::string text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 'A' && c <= 'Z') {
      out.push_back(static_cast<char>(c - 'A' + 'a'));
    } else if (c < 0x80 && c != ' ') {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::string CsvQuoted(const std::string& value) {
  std::string out = "\"";
  for (char c : value) {
    out += c == '"' ? "\"\"" : std::string(1, c);
  }
  return out + "\"";
}

// The names above use only Latin-1 letters, so UTF-8's two-byte forms map straight to bytes.
std::string ToWindowsLatin1(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC2 || c == 0xC3) {
      const auto next = static_cast<unsigned char>(utf8[++i]);
      out.push_back(static_cast<char>(c == 0xC3 ? next + 0x40 : next));
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::string Row(std::mt19937& random, bool csv) {
  auto pick = [&](const std::vector<std::string>& list) -> const std::string& {
    return list[random() % list.size()];
  };
  const std::string first = pick(kFirstNames);
  const std::string last = pick(kLastNames);
  const std::string company = pick(kCompanies);
  const unsigned number = random() % 10000;
  const std::string phone = "+31 20 555 " + std::to_string(1000 + number % 9000);
  const std::string mobile = "+31 6 5555 " + std::to_string(1000 + (number * 7) % 9000);
  const std::string email = AsciiLower(first) + "." + AsciiLower(last) + "@example.com";
  const std::string street = pick(kStreets) + " " + std::to_string(1 + number % 300);
  const std::string city = pick(kCities);
  const std::string note = pick(kNotes);
  if (csv) {
    return first + "," + last + "," + CsvQuoted(company) + "," + phone + "," + mobile + "," +
           email + "," + CsvQuoted(street + "\n" + city) + "," + CsvQuoted(note) + "\r\n";
  }
  return first + "\t" + last + "\t" + company + "\t" + phone + "\t" + mobile + "\t" + email + "\t" +
         street + ", " + city + "\t" + note + "\r\n";
}

void Generate(Variant& variant, std::uintmax_t targetBytes) {
  std::mt19937 random(20240611);
  std::ofstream out(variant.file, std::ios::binary);
  std::string chunk;
  std::uintmax_t written = 0;
  const bool latin1 = variant.encoding == TextEncoding::WindowsLatin1;
  std::string header = variant.csv ? "First,Last,Company,Work phone,Mobile,E-mail,Address,Note\r\n"
                                   : "First\tLast\tCompany\tWork phone\tMobile\tE-mail\tAddress\t"
                                     "Note\r\n";
  chunk = header;
  while (written + chunk.size() < targetBytes) {
    while (chunk.size() < (1 << 20)) {
      const std::string row = Row(random, variant.csv);
      chunk += latin1 ? ToWindowsLatin1(row) : row;
    }
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    written += chunk.size();
    chunk.clear();
  }
  out.close();
  variant.size = std::filesystem::file_size(variant.file);
}

long ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Loads once in a child process so that one variant's memory does not mask another's.
void MeasurePeak(Variant& variant) {
  int channel[2];
  if (pipe(channel) != 0) {
    return;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const long before = ResidentKilobytes();
    ThreadLikeObserver observer;
    ABImportFile file(variant.file, variant.encoding);
    const bool loaded = file.Load(&observer);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long result[3] = {loaded ? 1L : 0L, usage.ru_maxrss, before};
    const ssize_t ignored = write(channel[1], result, sizeof result);
    (void)ignored;
    _exit(0);
  }
  close(channel[1]);
  long result[3] = {0, 0, 0};
  const ssize_t got = read(channel[0], result, sizeof result);
  close(channel[0]);
  waitpid(child, nullptr, 0);
  if (got != sizeof result || result[0] != 1) {
    std::fprintf(stderr, "%s: load failed in the child process\n", variant.name.c_str());
    return;
  }
  const double fileMB = static_cast<double>(variant.size) / 1e6;
  variant.peakMB = static_cast<double>(result[1]) * 1024 / 1e6;
  variant.loadMB = static_cast<double>(result[1] - result[2]) * 1024 / 1e6;
  std::printf(
      "%s: file %.1f MB, peak memory: %.1f MB (%.2f x file size), of it the load %.1f MB "
      "(%.2f x file size)\n",
      variant.name.c_str(), fileMB, variant.peakMB, variant.peakMB / fileMB, variant.loadMB,
      variant.loadMB / fileMB);
}

void Load(benchmark::State& state, const Variant* variant) {
  std::size_t records = 0;
  for (auto _ : state) {
    ThreadLikeObserver observer;
    auto file = std::make_unique<ABImportFile>(variant->file, variant->encoding);
    if (!file->Load(&observer)) {
      state.SkipWithError("load failed");
      return;
    }
    records = file->RecordCount();
    benchmark::DoNotOptimize(file->Records().data());
    // Freeing the records is not part of loading.
    state.PauseTiming();
    file.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * variant->size));
  state.counters["records/s"] = benchmark::Counter(
      static_cast<double>(records * state.iterations()), benchmark::Counter::kIsRate);
  state.counters["records"] = static_cast<double>(records);
  state.counters["peak_x_file"] =
      static_cast<double>(variant->loadMB) / (static_cast<double>(variant->size) / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::uintmax_t megabytes = 100;
  if (const char* size = getenv("QB_BENCH_IMPORT_MB")) {
    megabytes = std::strtoull(size, nullptr, 10);
  }
  std::string pattern =
      (std::filesystem::temp_directory_path() / "quillbrook-bench-import-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::filesystem::path folder = pattern;
  std::vector<Variant> variants = {
      {"CSV UTF-8", true, TextEncoding::Utf8, folder / "contacts-utf8.csv"},
      {"CSV Windows Latin 1", true, TextEncoding::WindowsLatin1, folder / "contacts-1252.csv"},
      {"Tab UTF-8", false, TextEncoding::Utf8, folder / "contacts-utf8.txt"},
      {"Tab Windows Latin 1", false, TextEncoding::WindowsLatin1, folder / "contacts-1252.txt"},
  };
  for (Variant& variant : variants) {
    Generate(variant, megabytes * 1000 * 1000);
    MeasurePeak(variant);
    benchmark::RegisterBenchmark(("Load/" + variant.name).c_str(), Load, &variant)
        ->Unit(benchmark::kMillisecond);
  }
  std::fflush(stdout);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(folder);
  return 0;
}
