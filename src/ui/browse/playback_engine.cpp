#include "ui/browse/playback_engine.h"

#include "ui/browse/refusing_playback_engine.h"

#ifdef HARPOLY_HAVE_MPV
#include "ui/browse/mpv_playback_engine.h"
#endif

namespace harpoly::ui {

std::unique_ptr<PlaybackEngine> makePlaybackEngine() {
#ifdef HARPOLY_HAVE_MPV
    if (auto engine = MpvPlaybackEngine::create()) {
        return engine;
    }
#endif
    return std::make_unique<RefusingPlaybackEngine>();
}

} // namespace harpoly::ui
