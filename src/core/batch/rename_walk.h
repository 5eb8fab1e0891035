#pragma once

#include "core/batch/batch_ports.h"

#include <cstdint>
#include <functional>
#include <string>

namespace harpoly {

// The new name of the selected entry `oldName`, which is the `ordinal`-th
// selected entry of the list (counting from 0).
using NewNameRule = std::function<std::string(const std::string& oldName, std::int64_t ordinal)>;

// The walk shared by the renames and the extension change. Asks `question`
// under `caption` (nothing selected: the refusal notice), with the planned
// "old -> new" names as the question's detail. On OK: one progress step per
// list entry, one move per selected entry inside `folder`, and at the end the
// list is re-read with the current entry's new name (its old name when its
// move failed; none when it was not selected). A failed move is silent.
// Returns whether the walk ran.
bool runRenameWalk(const BatchPorts& ports, const std::string& folder, const std::string& question,
                   const std::string& caption, const NewNameRule& rule);

} // namespace harpoly
