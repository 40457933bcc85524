#include "app/menu_commands.h"

#include <memory>

#include <wx/dynlib.h>
#include <wx/frame.h>
#include <wx/menu.h>

namespace {

// On GTK an empty popup keeps the pointer grab and swallows the next clicks
// unless the menu bar is deactivated. The call is looked up at run time so
// that no toolkit headers are needed.
void CloseMenuBar(wxFrame& frame) {
#ifdef __WXGTK__
  using DeactivateFunction = void (*)(void*);
  static const DeactivateFunction deactivate = [] {
    wxDynamicLibrary program;
    program.Attach(wxDynamicLibrary::GetProgramHandle());
    bool found = false;
    void* symbol = program.GetSymbol("gtk_menu_shell_deactivate", &found);
    program.Detach();
    return found ? reinterpret_cast<DeactivateFunction>(symbol) : nullptr;
  }();
  wxMenuBar* bar = frame.GetMenuBar();
  if (deactivate && bar && bar->GetHandle())
    deactivate(bar->GetHandle());
#else
  (void)frame;
#endif
}

} // namespace

wxMenu* AppendMenuCommand(wxFrame& frame, const wxString& title, std::function<void()> action) {
  wxMenuBar* bar = frame.GetMenuBar();
  if (!bar) {
    bar = new wxMenuBar;
    frame.SetMenuBar(bar);
  }
  auto* menu = new wxMenu;
  bar->Append(menu, title);
  auto shared = std::make_shared<std::function<void()>>(std::move(action));
  frame.Bind(wxEVT_MENU_OPEN, [&frame, menu, shared](wxMenuEvent& event) {
    event.Skip();
    if (event.GetMenu() != menu)
      return;
    frame.CallAfter([&frame, shared] {
      CloseMenuBar(frame);
      (*shared)();
    });
  });
  return menu;
}
