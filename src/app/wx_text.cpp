#include "app/wx_text.h"

#include <wx/strconv.h>

wxString ToWx(const std::string& text) {
  if (text.empty())
    return {};
#ifdef __WXMSW__
  return wxString(text.data(), wxConvLibc, text.size());
#else
  wxString utf8 = wxString::FromUTF8(text.data(), text.size());
  if (!utf8.empty())
    return utf8;
  return wxString(text.data(), wxConvISO8859_1, text.size());
#endif
}

std::string FromWx(const wxString& text) {
#ifdef __WXMSW__
  const wxScopedCharBuffer bytes = text.mb_str(wxConvLibc);
#else
  const wxScopedCharBuffer bytes = text.utf8_str();
#endif
  return std::string(bytes.data(), bytes.length());
}
