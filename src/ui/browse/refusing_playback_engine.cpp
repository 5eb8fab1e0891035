#include "ui/browse/refusing_playback_engine.h"

#include "core/errors.h"

namespace harpoly::ui {

void RefusingPlaybackEngine::open(const std::string& path) {
    harpoly::raise(kind::MCIDevice, "no media engine: " + path);
}

} // namespace harpoly::ui
