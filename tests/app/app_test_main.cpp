// The window tests' entry: the toolkit is started once per test process, with
// an event loop that the tests drive, asserts that fail the test and log
// messages on standard error instead of modal boxes.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/log.h>

#include "app/orvanel_app.h"
#include "window_driver.h"

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& function,
                  const wxString& condition, const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str().data(), line)
      << "wx assertion \"" << condition.utf8_str().data() << "\" in " << function.utf8_str().data()
      << ": " << message.utf8_str().data();
}

} // namespace

// In sanitizer builds: what the toolkit and its libraries keep until the
// process ends is not a leak of the program's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libgtk-3.so\n"
         "leak:libgdk-3.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libgobject-2.0.so\n"
         "leak:libgio-2.0.so\n"
         "leak:libpango-1.0.so\n"
         "leak:libpangoft2-1.0.so\n"
         "leak:libpangocairo-1.0.so\n"
         "leak:libcairo.so\n"
         "leak:libX11.so\n"
         "leak:libatk-1.0.so\n"
         "leak:libatk-bridge-2.0.so\n"
         "leak:libdbus-1.so\n";
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (GTEST_FLAG_GET(list_tests))
    return RUN_ALL_TESTS();

  app_testing::TestEnvironment environment;
  auto* app = new TOrvanelApp;
  app->CreateWindowsOnInit = false;
  wxApp::SetInstance(app);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "The toolkit cannot start: is there a display?\n");
    return 2;
  }
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxSetAssertHandler(FailOnAssert);
  int result = 1;
  if (wxTheApp->CallOnInit()) {
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
  }
  wxEntryCleanup();
  return result;
}
