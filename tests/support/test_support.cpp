#include "support/test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testing_support {

TempDir::TempDir() {
  std::random_device rd;
  std::mt19937_64 gen(rd());
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("orvanel-test-" + std::to_string(gen()));
    std::error_code ec;
    if (fs::create_directory(p, ec)) {
      path_ = p.string();
      if (path_.back() != '/' && path_.back() != '\\')
        path_ += fs::path::preferred_separator == '\\' ? '\\' : '/';
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Make everything writable again so that tests of read-only folders clean up.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out)
    throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

void MakeDirectory(const std::string& path) {
  fs::create_directories(path);
}

RecordingDialogs::RecordingDialogs() {
  SetMessageDialogs(this);
}
RecordingDialogs::~RecordingDialogs() {
  SetMessageDialogs(nullptr);
}

int RecordingDialogs::MessageBox(const std::string& caption, const std::string& text,
                                 std::uint32_t flags) {
  Boxes.push_back({caption, text, flags});
  return Answer;
}

RecordingErrorDialog::RecordingErrorDialog() {
  SetErrorDialog(this);
}
RecordingErrorDialog::~RecordingErrorDialog() {
  SetErrorDialog(nullptr);
}

bool RecordingErrorDialog::ShowReport(const std::string& caption, const std::string& message,
                                      bool* noErrors, const std::string& report) {
  Reports.push_back({caption, message, report});
  if (noErrors)
    *noErrors = false;
  return Answer;
}

void WriteDefaultTemplates(const std::string& dir) {
  WriteFileBytes(dir + "BeforeContent.htm", "<!--content-->");
  WriteFileBytes(dir + "BeforeTOC.htm", "<!--toc-->");
  WriteFileBytes(dir + "BeforeTOCButtons.htm", "<!--buttons-->");
  WriteFileBytes(dir + "BeforeGlossary.htm", "<!--glossary-->");
  WriteFileBytes(dir + "BeforeSection.htm", "<HR>");
}

} // namespace testing_support
