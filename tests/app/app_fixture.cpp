#include "app_fixture.h"

#include <wx/config.h>
#include <wx/fileconf.h>

#include "app/main_form.h"
#include "app/orvanel_app.h"
#include "lib/program.h"
#include "window_driver.h"

using namespace testing_support;

namespace {

// The folder delimiter in the paths the program shows and opens.
#ifdef _WIN32
const std::string Delimiter = "\\";
#else
const std::string Delimiter = "/";
#endif

} // namespace

void WindowTest::SetUp() {
  src = dir / "src" + Delimiter;
  dest = dir / "out" + Delimiter;
  MakeDirectory(src);
  MakeDirectory(dest);
  WriteDefaultTemplates(src);
  sourceFile = src + "Guide.txt";
  destination = dest.substr(0, dest.size() - 1);
  WriteFileBytes(sourceFile, GuideSource());
  WriteFileBytes(dest + "Index.htm", "<HTML><FRAMESET></FRAMESET></HTML>");
  app_testing::ForgetOpenedFiles();
  app_testing::SetOpenerAvailable(true);
  // Each test keeps its remembered pair in its own settings file.
  delete wxConfigBase::Set(new wxFileConfig("orvanel", wxEmptyString, dir / "orvanel.conf",
                                            wxEmptyString, wxCONFIG_USE_LOCAL_FILE));
}

void WindowTest::TearDown() {
  DestroyForms();
  app_testing::Pump(20);
  delete wxConfigBase::Set(nullptr);
}

void WindowTest::Start(const std::vector<std::string>& arguments) {
  SetProgramArguments(arguments);
  CreateForms();
  ASSERT_TRUE(app_testing::WaitUntil([] { return !app_testing::LogLines(*MainForm).empty(); }))
      << "the first activation never came";
#ifdef __WXMSW__
  // Under Wine the window manager places and activates the window a little
  // later; clicks before that can land beside it.
  ASSERT_TRUE(app_testing::WaitUntil([] { return MainForm->IsActive(); }))
      << "the window manager never activated the window";
  app_testing::Pump(100);
#endif
}

void WindowTest::StartWithGuide() {
  Start({"orvanel", sourceFile, destination});
}

std::string WindowTest::GuideSource(int textLines) {
  std::string text = "~Title=The guide\r\n"
                     "~S=Trees|tree\r\n"
                     "A tree is a tall plant.\r\n"
                     "~GS=oak|tree\r\n"
                     "~GP=acorn\r\n"
                     "The oak gives an acorn every autumn.\r\n"
                     "~S+=Leaves|leaf\r\n"
                     "~NOTEP=Every leaf of an oak falls in autumn.\r\n";
  for (int i = 0; i < textLines; ++i)
    text += "Line " + std::to_string(i + 1) + " about the oak tree and its leaf.\r\n";
  return text;
}
