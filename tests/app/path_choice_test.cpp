// Choosing the paths in the window: one file given, the File menu's dialogs,
// a dropped file, and the pair offered again at the next start.
#include <filesystem>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/menu.h>

#include "app/main_form.h"
#include "app/orvanel_app.h"
#include "app/path_choice.h"
#include "app_fixture.h"
#include "lib/mymath.h"
#include "window_driver.h"

using namespace app_testing;
using namespace testing_support;

namespace {

// The File menu's dialogs, answered by the test.
class AnsweringDialogs : public IPathDialogs {
public:
  std::string ChooseSourceFile(wxWindow*, const std::string& current) override {
    ShownWith.push_back(current);
    return SourceAnswer;
  }
  std::string ChooseDestinationFolder(wxWindow*, const std::string& current) override {
    ShownWith.push_back(current);
    return DestinationAnswer;
  }
  std::string SourceAnswer;
  std::string DestinationAnswer;
  std::vector<std::string> ShownWith;
};

// The log lines of a pair, as the first activation writes them for two
// arguments.
std::vector<std::string> Echo(const std::string& source, const std::string& destination) {
  std::uintmax_t size = 0;
  if (std::filesystem::exists(source))
    size = std::filesystem::file_size(source);
  return {"* Source file: \"" + source + "\".",
          "* Source file size is " + FormatThousands(static_cast<std::int64_t>(size)) +
              " characters.",
          "* Destination directory: \"" + destination + "\".", ""};
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void ChooseFromMenu(wxMenuItem* item) {
  wxCommandEvent click(wxEVT_MENU, item->GetId());
  MainForm->GetEventHandler()->ProcessEvent(click);
}

const std::vector<std::string> Warning{
    "* Warning: there is no source file or destination directory."};

} // namespace

TEST_F(WindowTest, OneFileGivenIsTheSourceWithTheSiteFolderBesideItProposed) {
  Start({"orvanel", sourceFile});
  EXPECT_EQ(LogLines(*MainForm), Echo(sourceFile, src + "site"));
  EXPECT_EQ(MainForm->Converter().DestinationDir(), src + "site");
}

TEST_F(WindowTest, TheFileMenuChoosesThePairAndTheConversionUsesIt) {
  Start({"orvanel"});
  AnsweringDialogs dialogs;
  MainForm->PathDialogs = &dialogs;

  // A destination alone logs nothing yet; a cancelled dialog changes nothing.
  dialogs.DestinationAnswer = destination;
  ChooseFromMenu(MainForm->DestinationMenuItem);
  ChooseFromMenu(MainForm->OpenSourceMenuItem);
  EXPECT_EQ(LogLines(*MainForm), Warning);

  dialogs.SourceAnswer = sourceFile;
  ChooseFromMenu(MainForm->OpenSourceMenuItem);
  const std::vector<std::string> echoed = Joined(Warning, Echo(sourceFile, destination));
  EXPECT_EQ(LogLines(*MainForm), echoed) << "the chosen destination is kept, not proposed";
  // Each dialog opens at the path it would change; cancelling keeps it.
  dialogs.DestinationAnswer.clear();
  ChooseFromMenu(MainForm->DestinationMenuItem);
  EXPECT_EQ(dialogs.ShownWith, (std::vector<std::string>{"", "", "", destination}));
  EXPECT_EQ(LogLines(*MainForm), echoed);

  MainForm->OpenIndexAfterSave = false;
  Click(MainForm->FastConversionButton);
  ASSERT_TRUE(WaitUntil([] { return MainForm->LastResult().FilesSaved; }));
  EXPECT_TRUE(std::filesystem::exists(dest + "Guide.cnt.htm"));

  // One conversion per run: its pair stays.
  EXPECT_FALSE(MainForm->OpenSourceMenuItem->IsEnabled());
  EXPECT_FALSE(MainForm->DestinationMenuItem->IsEnabled());
  EXPECT_FALSE(MainForm->ChooseSource(src + "Other.txt"));
  EXPECT_EQ(MainForm->Converter().SourceFileName(), sourceFile);
}

TEST_F(WindowTest, ADroppedTextFileBecomesTheSource) {
  Start({"orvanel"});
  wxArrayString noText;
  noText.Add(wxString::FromUTF8((dest + "Index.htm").c_str()));
  EXPECT_FALSE(MainForm->DropTarget->OnDropFiles(10, 10, noText));
  EXPECT_EQ(LogLines(*MainForm), Warning);

  // The first .txt among the files, in any letter case.
  WriteFileBytes(src + "Other.TXT", "Other text.\r\n");
  wxArrayString files = noText;
  files.Add(wxString::FromUTF8((src + "Other.TXT").c_str()));
  files.Add(wxString::FromUTF8(sourceFile.c_str()));
  EXPECT_TRUE(MainForm->DropTarget->OnDropFiles(10, 10, files));
  EXPECT_EQ(LogLines(*MainForm), Joined(Warning, Echo(src + "Other.TXT", src + "site")));
}

TEST_F(WindowTest, TheLastChosenPairIsOfferedAtTheNextStart) {
  Start({"orvanel"});
  ASSERT_TRUE(MainForm->ChooseDestination(destination));
  ASSERT_TRUE(MainForm->ChooseSource(sourceFile));
  DestroyForms();

  // Two arguments are taken as they are and kept for no later start.
  Start({"orvanel", dir / "elsewhere.txt", dir.Path()});
  DestroyForms();

  Start({"orvanel"});
  EXPECT_EQ(LogLines(*MainForm), Echo(sourceFile, destination));
  EXPECT_EQ(MainForm->Converter().SourceFileName(), sourceFile);
  EXPECT_EQ(MainForm->Converter().DestinationDir(), destination);
}

TEST(PathChoice, TheProposedDestinationAndTheSourceNames) {
#ifdef _WIN32
  EXPECT_EQ(ProposedDestination("C:\\Users\\ann\\manual\\Manual.txt"),
            "C:\\Users\\ann\\manual\\site");
#else
  EXPECT_EQ(ProposedDestination("/home/ann/manual/Manual.txt"), "/home/ann/manual/site");
#endif
  EXPECT_TRUE(IsTextFileName("/a/Guide.txt"));
  EXPECT_TRUE(IsTextFileName("Guide.TxT"));
  EXPECT_FALSE(IsTextFileName("/a/Guide.htm"));
  EXPECT_FALSE(IsTextFileName("/a.txt/Guide"));
}
