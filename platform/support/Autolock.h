// BAutolock: holds a BLocker for a scope.
#pragma once

#include "Locker.h"

class BAutolock {
public:
	explicit BAutolock(BLocker* locker) : fLocker(locker), fLocked(locker && locker->Lock()) {}
	explicit BAutolock(BLocker& locker) : fLocker(&locker), fLocked(locker.Lock()) {}
	~BAutolock()
	{
		if (fLocked)
			fLocker->Unlock();
	}
	BAutolock(const BAutolock&) = delete;
	BAutolock& operator=(const BAutolock&) = delete;

	bool IsLocked() const { return fLocked; }

private:
	BLocker* fLocker;
	bool fLocked;
};
