// The entry point of the window program: hands the arguments over and starts
// the toolkit.
#include <clocale>

#include <wx/app.h>

#include "app/orvanel_app.h"
#include "lib/program.h"

#ifdef __WXMSW__
#include <cstdlib>

// Both set the C library's locale from the user's settings, as the command
// line does: numbers and dates in the user's own format. The engine reads its
// source as bytes whatever the locale.
extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, wxCmdLineArgType, int show) {
  std::setlocale(LC_ALL, "");
  SetProgramArguments(__argc, __argv);
  return OrvanelMain([&] { wxEntry(instance, nullptr, nullptr, show); });
}
#else
int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  SetProgramArguments(argc, argv);
  return OrvanelMain([&] { wxEntry(argc, argv); });
}
#endif
