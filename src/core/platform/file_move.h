#pragma once

#include "core/platform/move_journal.h"

#include <cstddef>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <sys/types.h>

namespace harpoly {

// The steps of a move across file systems, for tests that stop one there.
enum class MoveStep {
    Copied,              // the copy stands whole under its temporary name
    Placed,              // the copy stands at the target
    BeforeSourceRemoval, // the target folder is flushed; the source goes next
    SourceRemoved,       // the source is gone
};

int systemRenameNoReplace(const char* from, const char* to);
int systemLink(const char* from, const char* to);
ssize_t systemWrite(int fd, const void* data, std::size_t size);

// The calls whose answers differ between file systems, so that tests can
// play a file system that refuses them.
struct MoveCalls {
    int (*renameNoReplace)(const char* from, const char* to) = systemRenameNoReplace;
    int (*link)(const char* from, const char* to) = systemLink;
    ssize_t (*write)(int fd, const void* data, std::size_t size) = systemWrite; // the copy's
    std::function<void(MoveStep)> reached; // told when a move across file systems reaches a step
};

// Moves files and never replaces one that exists at the target.
//
// Within one file system a move is a rename that refuses an existing target
// (renameat2 with RENAME_NOREPLACE). A file system that does not offer it
// (FUSE ones such as NTFS, exFAT and FAT; NFS) gets a hard link and the
// removal of the old name; one without hard links either gets its target
// name reserved by an exclusive create of an empty file, which the rename
// then replaces. Which of these a folder takes is learnt on its first move.
//
// Across file systems the file is copied to a temporary name in the target
// folder and flushed, put at the target the same way, and only then removed
// from its source. The journal records the move before the temporary is
// made, so that a move broken off by a crash is finished or undone later
// (recoverMoves): no file is lost, none stays in both places, and no
// temporary of ours outlives the next start. Any failure leaves the source
// as it was.
class FileMover {
public:
    explicit FileMover(std::string journalFolder, MoveCalls calls = {});

    // Whether the file now stands at `to` and no longer at `from`.
    [[nodiscard]] bool move(const std::string& from, const std::string& to);

private:
    enum class Placing { NoReplaceRename, LinkAndUnlink, Reservation };
    enum class Placed { Done, Failed, OtherFileSystem };

    Placing& placingFor(const std::string& to);
    Placed place(const std::string& from, const std::string& to, MoveIntent* acrossIntent);
    Placed placeOnReservation(const std::string& from, const std::string& to,
                              MoveIntent* acrossIntent);
    bool moveAcross(const std::string& from, const std::string& to);
    bool finishAcross(const std::string& from, const std::string& to, MoveIntent& intent);
    std::string temporaryName(const std::string& folder);
    void reach(MoveStep step) const;

    MoveCalls calls_;
    MoveJournal journal_;
    std::map<std::string, Placing> placing_; // by target folder
    std::string lastFolder_;
    Placing* lastPlacing_ = nullptr;
    std::mt19937_64 random_;
};

// This user's journal folder: $XDG_STATE_HOME/harpoly/moves/, by default
// ~/.local/state/harpoly/moves/.
std::string moveJournalFolder();

// The program's move, through one FileMover journaling in moveJournalFolder().
[[nodiscard]] bool moveFileNoReplace(const std::string& from, const std::string& to);

// Run once at start-up: finishes or undoes the moves that a crash or a kill
// broke off in an earlier run, and removes their temporaries.
void recoverInterruptedMoves();

} // namespace harpoly
