// CollisionQuestion: the question the engine asks when an entry is in the
// way of an item, as data. The front end that runs the engine says how it
// is asked (the installer shows its collision box, which the window, the
// terminal and an answer file each answer in their own way).
#pragma once

#include <functional>
#include <string>

#include "Path.h"
#include "SupportDefs.h"

struct CollisionQuestion {
	// The item about to be placed, and the entry in its way.
	BPath item;
	BPath existing;
	// The two-letter code of the language to ask in.
	std::string language;
};

// Answers 1 to replace, 0 to keep the entry, B_ALERT_DISMISSED when a stop
// request ended the question; `applyToAll` says whether the answer holds
// for every later collision.
using CollisionAsker = std::function<int32(const CollisionQuestion& question, bool& applyToAll)>;

// Set once by the program, before any run.
void SetCollisionAsker(CollisionAsker asker);
// Asks through the program's asker; without one nothing is replaced.
int32 AskCollision(const CollisionQuestion& question, bool& applyToAll);
// The question the asker is answering on this thread, or null: a front end
// that passes the box on to another program names the entries with it.
const CollisionQuestion* CollisionBeingAsked();
