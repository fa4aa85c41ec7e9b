// The editor's global objects.
#pragma once

#include "CoreTypes.h"
#include "Editor/EditorEngine.h"

/** The editor engine; null outside the editor (commandlets, games). */
extern UEditorEngine* GEditor;
