// Builds starting corpora so that fuzzing begins from real documents (the
// test conversions and whole manuals) instead of random bytes:
//
//   orvanel_fuzz_seeds OUTPUT_FOLDER CASE_FOLDER [SOURCE.txt...]
//
// OUTPUT_FOLDER/convert gets the options byte and the source of each case (or
// file), OUTPUT_FOLDER/command the source alone, OUTPUT_FOLDER/inline each
// text line with an options byte of 0.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// The escapes of the case files: \r \n \t \0 \\ and \xHH.
std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char e = text[++i];
    if (e == 'r')
      out += '\r';
    else if (e == 'n')
      out += '\n';
    else if (e == 't')
      out += '\t';
    else if (e == '0')
      out += '\0';
    else if (e == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
             HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else
      out += e;
  }
  return out;
}

struct Case {
  std::string Options;
  std::string Source;
};

// The options line and the source of a case file ("source": each line ends
// with CR LF; "source-bytes": the lines joined with nothing).
Case ReadCase(const fs::path& path) {
  std::istringstream in(ReadAll(path));
  Case c;
  std::string section;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.rfind("=== ", 0) == 0) {
      section = line.substr(4);
      continue;
    }
    if (section == "options" && c.Options.empty())
      c.Options = line;
    else if (section == "source")
      c.Source += Unescape(line) + "\r\n";
    else if (section == "source-bytes")
      c.Source += Unescape(line);
  }
  return c;
}

// The options byte of the whole-conversion target for the words of a case.
unsigned char OptionsByte(const std::string& words) {
  std::istringstream in(words);
  unsigned char byte = 0;
  std::string word;
  while (in >> word) {
    if (word == "fast")
      byte |= 1;
    else if (word == "pretty")
      byte |= 2;
    else if (word == "no-table")
      byte |= 4;
    else if (word == "no-sep")
      byte |= 8;
    else if (word == "no-project-options")
      byte |= 16;
    else if (word.rfind("abort-at-pump=", 0) == 0)
      byte |= static_cast<unsigned char>(std::min(std::stoi(word.substr(14)), 3) << 6);
  }
  return byte;
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER CASE_FOLDER [SOURCE.txt...]\n", argv[0]);
    return 2;
  }
  const fs::path output = argv[1];
  for (const char* target : {"convert", "command", "inline"})
    fs::create_directories(output / target);

  std::vector<std::pair<std::string, Case>> sources;
  if (fs::is_directory(argv[2]))
    for (const auto& entry : fs::directory_iterator(argv[2]))
      if (entry.path().extension() == ".case")
        sources.emplace_back(entry.path().stem().string(), ReadCase(entry.path()));
  for (int i = 3; i < argc; ++i)
    sources.emplace_back(fs::path(argv[i]).stem().string(), Case{"", ReadAll(argv[i])});

  std::size_t lines = 0;
  for (const auto& [name, c] : sources) {
    Write(output / "convert" / name,
          std::string(1, static_cast<char>(OptionsByte(c.Options))) + c.Source);
    Write(output / "command" / name, c.Source);
    std::istringstream in(c.Source);
    std::string line;
    for (int n = 0; std::getline(in, line); ++n) {
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      if (line.empty() || line[0] == '~')
        continue;
      Write(output / "inline" / (name + "-" + std::to_string(n)), std::string(1, '\0') + line);
      ++lines;
    }
  }
  std::printf("%zu sources and %zu text lines as seeds in %s\n", sources.size(), lines,
              output.string().c_str());
  return 0;
}
