// The engine's tests ask about an entry in the way as the installer does:
// with its collision box, which the tests' presenters answer.
#include "CollisionQuestion.h"
#include "ReplaceAlert.h"

namespace {

const bool sAskerSet = [] {
	SetCollisionAsker([](const CollisionQuestion& question, bool& applyToAll) {
		return (new ReplaceAlert(question.item, question.existing, true, question.language.c_str()))
		        ->Go(applyToAll);
	});
	return true;
}();

} // namespace
