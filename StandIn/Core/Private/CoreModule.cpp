#include "Modules/ModuleManager.h"

// Core is a module like any other, so that modules may name it and ask whether it is loaded.
IMPLEMENT_MODULE(FDefaultModuleImpl, Core);
