#include "app/form_style.h"

#include <wx/settings.h>
#include <wx/window.h>

wxRect DesignRect(const wxWindow* window, int left, int top, int width, int height) {
  return wxRect(window->FromDIP(wxPoint(left, top)), window->FromDIP(wxSize(width, height)));
}

wxSize DesignSize(const wxWindow* window, int width, int height) {
  return window->FromDIP(wxSize(width, height));
}

wxFont ArialPixels(int pixelHeight) {
  return wxFont(wxFontInfo(wxSize(0, pixelHeight)).FaceName("Arial"));
}

wxFont ArialPoints(int points) {
  return wxFont(wxFontInfo(points).FaceName("Arial"));
}

wxColour FaceColour() {
  return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
}

wxString MemoLines(const wxString& text) {
  wxString lines = text;
  lines.Replace("\r\n", "\n");
  lines.Replace("\r", "\n");
  return lines;
}
