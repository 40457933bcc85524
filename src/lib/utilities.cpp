// Loader of an optional common-controls entry point; nothing calls it.
#include "utilities.h"

TUtilities Utilities;

TUtilities::TUtilities()
    : Module(plat::LoadSystemLibrary("ComCtl32.dll")), DrawShadowTextEntry(nullptr) {
  if (Module != nullptr && Module != reinterpret_cast<plat::ModuleHandle>(-1))
    DrawShadowTextEntry = plat::GetEntryPoint(Module, "DrawShadowText");
  // The library is not freed when the unit ends.
}
