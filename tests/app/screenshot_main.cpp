// Renders the main window after a full conversion to a PNG file, for the
// documentation. Run under an X server (scripts/screenshot uses Xvfb):
//   orvanel_window_screenshot OUTPUT.png SOURCE DESTINATION
// OUTPUT may also be a .bmp file.
#include <chrono>
#include <cstdio>
#include <string>

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/textctrl.h>

#include "app/main_form.h"
#include "app/orvanel_app.h"
#include "app/wx_text.h"
#include "lib/program.h"
#include "window_driver.h"

namespace {

bool Converted() {
  for (const std::string& line : app_testing::LogLines(*MainForm)) {
    if (line.rfind("* Time: ", 0) == 0)
      return true;
  }
  return false;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "Usage: %s OUTPUT.png SOURCE DESTINATION\n", argv[0]);
    return 2;
  }
  const std::string output = argv[1];
  SetProgramArguments({"orvanel", argv[2], argv[3]});

  auto* app = new TOrvanelApp;
  app->CreateWindowsOnInit = false;
  wxApp::SetInstance(app);
  int fakeArgc = 1;
  if (!wxEntryStart(fakeArgc, argv)) {
    std::fprintf(stderr, "The toolkit cannot start: is there a display?\n");
    return 2;
  }
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxInitAllImageHandlers();
  int result = 1;
  if (wxTheApp->CallOnInit()) {
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    CreateForms();
    // The picture is of the window, not of the user's browser.
    MainForm->OpenIndexAfterSave = false;
    if (app_testing::WaitUntil([] { return !app_testing::LogLines(*MainForm).empty(); })) {
      app_testing::Click(MainForm->FullConversionButton);
      if (app_testing::WaitUntil(Converted, 120000)) {
        MainForm->WorkLogMemo->ShowPosition(0);
        app_testing::Pump(500);
        const wxRect rect = MainForm->GetScreenRect();
        wxBitmap picture(rect.GetSize(), 24);
        wxMemoryDC memory(picture);
        wxScreenDC screen;
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
        memory.SelectObject(wxNullBitmap);
        // The Windows build of the toolkit reads and writes no PNG.
        const bool bmp = output.size() > 4 && output.compare(output.size() - 4, 4, ".bmp") == 0;
        result =
            picture.SaveFile(ToWx(output), bmp ? wxBITMAP_TYPE_BMP : wxBITMAP_TYPE_PNG) ? 0 : 1;
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
