// How far the install run is, in bytes of the selected items (the engine's
// INSTALL_PROGRESS), as the front ends without a window show it.
#pragma once

#include <string>

#include "SupportDefs.h"

// Turns progress messages into a line: percent, bytes, rate and time left.
class ProgressMeter {
public:
	// `now` is in seconds on any steady clock.
	void Start(const double& now);
	void Update(const int64& done, const int64& total, const double& now);

	// "42% 1.2 MB of 3.0 MB, 600.0 KB/s, 3 s left".
	std::string Text() const;
	// True when `interval` seconds passed since the last true answer (the
	// first call answers true): how often a non-terminal shows the line.
	bool Due(const double& now, const double& interval);

private:
	double fStart = 0;
	double fNow = 0;
	double fLastShown = -1;
	int64 fDone = 0;
	int64 fTotal = 0;
};
