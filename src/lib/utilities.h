// Loader of an optional common-controls entry point; nothing calls it.
#pragma once

#include "platform/platform.h"

class TUtilities {
public:
  TUtilities();
  plat::ModuleHandle Module;
  void* DrawShadowTextEntry;
};
extern TUtilities Utilities;
