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
#elif defined(__WXMSW__)
  // Windows enters its own modal menu loop when a bar item is clicked, and
  // an empty popup keeps it there: the action would wait for the next click
  // or key. EndMenu ends that loop; it takes no arguments, so the calling
  // convention does not matter.
  (void)frame;
  using EndMenuFunction = int (*)();
  static const EndMenuFunction endMenu = [] {
    wxDynamicLibrary user32("user32.dll", wxDL_DEFAULT | wxDL_QUIET);
    bool found = false;
    void* symbol = user32.GetSymbol("EndMenu", &found);
    // user32 stays loaded for the life of any window program.
    user32.Detach();
    return found ? reinterpret_cast<EndMenuFunction>(symbol) : nullptr;
  }();
  if (endMenu)
    endMenu();
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
#ifdef __WXMSW__
  // Windows runs its own modal loop while a bar item is open, and an empty
  // popup keeps it running: an action started inside it would have its
  // windows nested in the menu loop, which holds the mouse. So the opening
  // only asks the loop to end, and the action runs once the popup is gone.
  auto opened = std::make_shared<bool>(false);
  frame.Bind(wxEVT_MENU_OPEN, [&frame, menu, opened](wxMenuEvent& event) {
    event.Skip();
    if (event.GetMenu() != menu)
      return;
    *opened = true;
    frame.CallAfter([&frame] { CloseMenuBar(frame); });
  });
  frame.Bind(wxEVT_MENU_CLOSE, [&frame, menu, opened, shared](wxMenuEvent& event) {
    event.Skip();
    if (event.GetMenu() != menu || !*opened)
      return;
    *opened = false;
    frame.CallAfter([shared] { (*shared)(); });
  });
#else
  frame.Bind(wxEVT_MENU_OPEN, [&frame, menu, shared](wxMenuEvent& event) {
    event.Skip();
    if (event.GetMenu() != menu)
      return;
    frame.CallAfter([&frame, shared] {
      CloseMenuBar(frame);
      (*shared)();
    });
  });
#endif
  return menu;
}
