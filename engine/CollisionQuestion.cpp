// The program's way of asking about an entry in the way.
#include "CollisionQuestion.h"

#include "Alert.h"

namespace {

CollisionAsker& Asker()
{
	static CollisionAsker asker;
	return asker;
}

} // namespace

void SetCollisionAsker(CollisionAsker asker)
{
	Asker() = std::move(asker);
}

int32 AskCollision(const CollisionQuestion& question, bool& applyToAll)
{
	applyToAll = false;
	if (!Asker())
		return B_ALERT_DISMISSED;
	return Asker()(question, applyToAll);
}
