// The whole conversion of arbitrary bytes: the first byte chooses the
// options, the rest is the source; the templates are fixed. Every run must
// end with the four pages written whole or with nothing reported as written,
// leave no stray file and no open descriptor behind.
//
// First byte: bit 0 fast conversion, bit 1 "Make code pretty", bit 2 no table
// elements, bit 3 no section separators, bit 4 project options ignored, bits
// 6 and 7 the event pump (1 to 3) at which the user aborts.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "engine/converter.h"
#include "fuzz_support.h"

namespace fs = std::filesystem;
using fuzzing::Fail;

namespace {

const char* const kSuffixes[] = {".cnt.htm", ".toc.htm", ".tocbtn.htm", ".gls.htm"};

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out)
    Fail("cannot write " + path.string());
}

// A source folder with the templates and a destination folder, made once per
// process and removed when it ends.
class Sandbox {
public:
  Sandbox() {
    std::random_device random;
    root_ = fs::temp_directory_path() / ("orvanel-fuzz-" + std::to_string(random()));
    fs::create_directories(root_ / "src");
    fs::create_directories(root_ / "out");
    Write(root_ / "src/BeforeContent.htm", "<HTML><BODY>\r\n<!--content-->");
    Write(root_ / "src/BeforeTOC.htm", "<!--toc-->\n");
    Write(root_ / "src/BeforeTOCButtons.htm", "<!--buttons-->");
    Write(root_ / "src/BeforeGlossary.htm", "<!--glossary-->\r\r");
    Write(root_ / "src/BeforeSection.htm", "<HR>\r\n<!--section-->");
  }
  ~Sandbox() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  std::string Source() const { return (root_ / "src/Guide.txt").string(); }
  std::string SourceFolder() const { return (root_ / "src").string(); }
  std::string Destination() const { return (root_ / "out").string(); }
  std::string Root() const { return root_.string(); }

private:
  fs::path root_;
};

// The descriptors open on files below FOLDER. (The sanitizers' symbolizer
// keeps pipes of its own open, so not every descriptor counts.)
std::string OpenBelow(const std::string& folder) {
  std::string open;
  std::error_code ec;
  for (fs::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string target = fs::read_symlink(it->path(), ec).string();
    if (!ec && target.rfind(folder, 0) == 0)
      open += "\n  " + target;
  }
  return open;
}

std::size_t Lines(const std::uint8_t* data, std::size_t size) {
  std::size_t lines = 1;
  for (std::size_t i = 0; i < size; ++i)
    lines += data[i] == '\r' || data[i] == '\n';
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Sandbox sandbox;
  static unsigned long runs = 0;
  if (size == 0)
    return 0;
  const unsigned options = data[0];
  const std::string source(reinterpret_cast<const char*>(data) + 1, size - 1);
  Write(sandbox.Source(), source);

  fuzzing::QuietHost host;
  host.MakeCodePretty = (options & 2) != 0;
  host.UseTable = (options & 4) == 0;
  host.UseSectionSep = (options & 8) == 0;
  host.UseProjectOptions = (options & 16) == 0;
  host.AbortAtPump = static_cast<int>(options >> 6);
  {
    TConverter converter(host);
    host.Abort = &converter;
    converter.TakeArguments(2, sandbox.Source(), sandbox.Destination());
    const ConversionResult result = converter.Process(host.Options((options & 1) != 0));

    if (result.FilesSaved != host.Processed)
      Fail("the log and the outcome disagree on whether the pages were written");
    if (host.Boxes != 0)
      Fail("a message box for an accepted source");
    // The four pages, and the search index when the source asks for one.
    const std::size_t written = result.FilesWritten.size();
    if (result.FilesSaved != (written == 4 || written == 5))
      Fail("pages reported as saved that were not all written, or the other way round");
    if (written == 5 && !result.FilesWritten.back().ends_with(".search.js"))
      Fail("a fifth file that is not the search index: " + result.FilesWritten.back());
    for (const std::string& page : result.FilesWritten) {
      std::error_code ec;
      if (!fs::is_regular_file(page, ec) || ec)
        Fail("a page reported as written is not there: " + page);
    }
    if (host.MinSourceLine < 0 || host.MaxSourceLine > result.LineCount)
      Fail("a log line about a source line that is not there");
  }
  // Some log lines quote their source line, and an unknown inline command its
  // text up to what the line holds (or 64 KiB); more means output out of
  // proportion to the input.
  const std::size_t bound = 64 * size + 66000 * Lines(data, size) + 4096;
  if (host.LogBytes > bound)
    Fail("log of " + std::to_string(host.LogBytes) + " bytes for " + std::to_string(size) +
         " bytes of input");

  // Nothing but the four pages and the search index appears, and they go
  // before the next run.
  std::set<std::string> pages;
  for (const char* suffix : kSuffixes)
    pages.insert(std::string("Guide") + suffix);
  pages.insert("Guide.search.js");
  for (const auto& entry : fs::directory_iterator(sandbox.Destination())) {
    if (!pages.count(entry.path().filename().string()))
      Fail("unexpected file " + entry.path().string());
    fs::remove(entry.path());
  }
  std::size_t inSource = 0;
  for (const auto& entry : fs::directory_iterator(sandbox.SourceFolder())) {
    (void)entry;
    ++inSource;
  }
  if (inSource != 6)
    Fail("the source folder changed");
  if (++runs % 16 == 0) {
    const std::string open = OpenBelow(sandbox.Root());
    if (!open.empty())
      Fail("files left open:" + open);
  }
  return 0;
}
