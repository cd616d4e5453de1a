// The collision question of a removal.
#pragma once

class BPath;

// When an entry of `item`'s leaf is in `folder`: with `ask`, shows the
// collision dialog (the item as the new entry, the namesake as the existing
// one, with its check box); `replace` becomes whether the answer was Replace,
// and a ticked check box clears `ask` so later collisions take that answer.
// The caller replaces or renames; nothing is removed here.
void CheckAndPrompt(const BPath& item, const char* folder, bool& ask, bool& replace);
