// The program's way of asking about an entry in the way.
#include "CollisionQuestion.h"

#include "Alert.h"

namespace {

CollisionAsker& Asker()
{
	static CollisionAsker asker;
	return asker;
}

thread_local const CollisionQuestion* sAsked = nullptr;

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
	sAsked = &question;
	const int32 answer = Asker()(question, applyToAll);
	sAsked = nullptr;
	return answer;
}

const CollisionQuestion* CollisionBeingAsked()
{
	return sAsked;
}
