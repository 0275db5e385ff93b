#pragma once

#include "core/files/folder_handle.h"

namespace velnor {

// The names of the program's temporary files and folders, the same on every
// system: ".<name>.velnor-" beside the target, then six characters that stand
// for the whole target name, six random ones and four that check the rest, all
// ASCII letters or digits. The target's name is cut so the whole fits in 255
// characters; the six for the whole name keep two long names that share their
// start apart. A name that a user chose checks out only by a chance of one in
// millions, so only what the program made is ever taken for its own.
EntryName TempNameFor(const EntryName& target);

// Whether a name is one of those.
bool IsTempName(const EntryName& name);
// Whether a name is one of those for that very target.
bool IsTempNameOf(const EntryName& name, const EntryName& target);

} // namespace velnor
