// Menu-bar items that act on a click instead of opening a menu.
#pragma once

#include <functional>

#include <wx/string.h>

class wxFrame;
class wxMenu;

/// Appends to FRAME's menu bar an item TITLE that runs ACTION when clicked.
/// The toolkit only has menus that open, so an empty menu stands in: its
/// opening closes the bar again and runs ACTION from the event loop.
wxMenu* AppendMenuCommand(wxFrame& frame, const wxString& title, std::function<void()> action);
