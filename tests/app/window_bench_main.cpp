// Times the window's full conversion of SOURCE into DESTINATION (from the
// click to the last summary line), for scripts/bench. Run under an X server:
//   orvanel_window_bench SOURCE DESTINATION
#include <chrono>
#include <cstdio>
#include <string>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include "app/main_form.h"
#include "app/orvanel_app.h"
#include "lib/program.h"
#include "window_driver.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "Usage: %s SOURCE DESTINATION\n", argv[0]);
    return 2;
  }
  SetProgramArguments({"orvanel", argv[1], argv[2]});
  auto* app = new TOrvanelApp;
  app->CreateWindowsOnInit = false;
  wxApp::SetInstance(app);
  int fakeArgc = 1;
  if (!wxEntryStart(fakeArgc, argv)) {
    std::fprintf(stderr, "The toolkit cannot start: is there a display?\n");
    return 2;
  }
  delete wxLog::SetActiveTarget(new wxLogStderr);
  int result = 1;
  if (wxTheApp->CallOnInit()) {
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    CreateForms();
    MainForm->OpenIndexAfterSave = false;
    if (app_testing::WaitUntil([] { return !app_testing::LogLines(*MainForm).empty(); })) {
      const auto start = std::chrono::steady_clock::now();
      // The click handler runs the whole conversion before it returns.
      app_testing::Click(MainForm->FullConversionButton);
      const bool done =
          app_testing::WaitUntil([] { return MainForm->LastResult().FilesSaved; }, 600000);
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (done) {
        std::printf("%.3f\n", seconds);
        result = 0;
      } else {
        std::fprintf(stderr, "The conversion did not finish.\n");
      }
    }
    DestroyForms();
    wxTheApp->OnExit();
  }
  wxEntryCleanup();
  return result;
}
