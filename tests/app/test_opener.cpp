// Stands in, in the Windows window tests, for the programs that open files
// and web pages: appends its argument to the file named by
// ORVANEL_TEST_OPENED_RECORD. The tests make it the handler of .htm, .txt
// and web addresses and find it through PATH, so that taking its folder out
// of PATH leaves the program without an opener.
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv) {
  const char* record = std::getenv("ORVANEL_TEST_OPENED_RECORD");
  if (record == nullptr || argc != 2)
    return 2;
  std::ofstream out(record, std::ios::app | std::ios::binary);
  out << argv[1] << '\n';
  return out ? 0 : 1;
}
