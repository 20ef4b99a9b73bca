// The SDL2 backend: borderless, popup and tooltip windows, one event loop on the UI thread.
#pragma once

#include "TavikUI/Backend.h"

#include <memory>

namespace TavikUI {

// Starts SDL's video subsystem; null when no display can be opened.
std::unique_ptr<Backend> CreateSdlBackend();

} // namespace TavikUI
