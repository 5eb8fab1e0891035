#pragma once

#include "core/platform/file_descriptor.h"

#include <string>

namespace harpoly {

// One move that the journal holds while it runs.
struct MoveIntent {
    enum class Phase {
        Moving,   // nothing of ours stands at the target
        Reserved, // the target name is held by an empty file of ours
    };
    std::string source;
    std::string temporary; // the copy in the target folder; empty within one file system
    std::string target;
    Phase phase = Phase::Moving;
};

// The journal of one mover: a file in the journal folder holding the move
// in progress, if any, and locked for as long as its mover lives, so that a
// recovery run elsewhere leaves it alone. The file goes when the mover does.
class MoveJournal {
public:
    explicit MoveJournal(std::string folder) : folder_(std::move(folder)) {}
    MoveJournal(const MoveJournal&) = delete;
    MoveJournal& operator=(const MoveJournal&) = delete;
    ~MoveJournal();

    // Writes `intent` as the one record, flushed to disk first when
    // `durable`. The first record of a journal creates its file (and its
    // folder) after settling the moves that journals left by ended movers
    // hold. False when the journal cannot be written.
    [[nodiscard]] bool record(const MoveIntent& intent, bool durable);
    // The recorded move is over.
    void clear();

    const std::string& folder() const { return folder_; }

private:
    bool open();

    std::string folder_;
    std::string path_;
    FileDescriptor fd_;
};

// Finishes or undoes, from what is on disk, the moves held by the journals
// in `journalFolder` whose movers have ended (a crash, a kill, a power cut),
// and removes those journals. A move whose copy stands whole at its target
// is finished (the source goes); any other is undone (our temporary and our
// placeholder go, the source stays). A journal whose source or target folder
// is not there (a drive not mounted) is kept for a later run. Returns the
// number of journals settled.
int recoverMoves(const std::string& journalFolder);

// What recoverMoves does with one journal's move; false, with nothing
// touched, when the source's or the target's folder is not there.
bool settleMove(const MoveIntent& intent);

} // namespace harpoly
