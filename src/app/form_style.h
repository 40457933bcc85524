// Layout helpers shared by the windows: the designed pixel units, fonts and
// colours.
#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>

class wxWindow;

/// A rectangle of the design (pixels at 96 dots per inch) for WINDOW.
wxRect DesignRect(const wxWindow* window, int left, int top, int width, int height);
wxSize DesignSize(const wxWindow* window, int width, int height);
/// Arial of the given character height in pixels.
wxFont ArialPixels(int pixelHeight);
/// Arial of the given size in points.
wxFont ArialPoints(int points);
/// The face colour of buttons, the background of the windows.
wxColour FaceColour();
/// Text for a multi-line control: CR LF and lone CR become the toolkit's
/// line end.
wxString MemoLines(const wxString& text);
