#include "app/message_boxes.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/wx_text.h"

// Once more: the toolkit's headers may have brought <windows.h> since.
#ifdef MessageBox
#undef MessageBox
#endif

namespace {

// The system's message-box flag values.
constexpr std::uint32_t ButtonsMask = 0x0F;
constexpr std::uint32_t OkCancel = 1;
constexpr std::uint32_t YesNoCancel = 3;
constexpr std::uint32_t YesNo = 4;
constexpr std::uint32_t IconMask = 0xF0;
constexpr std::uint32_t IconError = 0x10;
constexpr std::uint32_t IconQuestion = 0x20;
constexpr std::uint32_t IconWarning = 0x30;
constexpr std::uint32_t IconInformation = 0x40;

// The system's answers.
constexpr int AnswerOk = 1;
constexpr int AnswerCancel = 2;
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;

long StyleOf(std::uint32_t flags) {
  long style = 0;
  switch (flags & ButtonsMask) {
  case OkCancel:
    style |= wxOK | wxCANCEL;
    break;
  case YesNoCancel:
    style |= wxYES_NO | wxCANCEL;
    break;
  case YesNo:
    style |= wxYES_NO;
    break;
  default:
    style |= wxOK;
    break;
  }
  switch (flags & IconMask) {
  case IconError:
    style |= wxICON_ERROR;
    break;
  case IconQuestion:
    style |= wxICON_QUESTION;
    break;
  case IconWarning:
    style |= wxICON_WARNING;
    break;
  case IconInformation:
    style |= wxICON_INFORMATION;
    break;
  default:
    style |= wxICON_NONE;
    break;
  }
  return style;
}

} // namespace

int TMessageBoxes::MessageBox(const std::string& caption, const std::string& text,
                              std::uint32_t flags) {
  if (!wxTheApp)
    return 0;
  wxWindow* parent = wxTheApp->GetTopWindow();
  if (parent && !parent->IsShown())
    parent = nullptr;
  wxMessageDialog box(parent, ToWx(text), ToWx(caption), StyleOf(flags) | wxCENTRE);
  switch (box.ShowModal()) {
  case wxID_OK:
    return AnswerOk;
  case wxID_YES:
    return AnswerYes;
  case wxID_NO:
    return AnswerNo;
  default:
    return AnswerCancel;
  }
}

void TMessageBoxes::Beep(std::uint32_t /*type*/) {
  wxBell();
}
