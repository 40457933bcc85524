// The entry point of the window program: hands the arguments over and starts
// the toolkit.
#include <wx/app.h>

#include "app/orvanel_app.h"
#include "lib/program.h"

#ifdef __WXMSW__
#include <cstdlib>

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, wxCmdLineArgType, int show) {
  SetProgramArguments(__argc, __argv);
  return OrvanelMain([&] { wxEntry(instance, nullptr, nullptr, show); });
}
#else
int main(int argc, char** argv) {
  SetProgramArguments(argc, argv);
  return OrvanelMain([&] { wxEntry(argc, argv); });
}
#endif
