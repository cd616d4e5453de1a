// Progress of the install run and its one-line description.
#include "InstallProgress.h"

#include <cstdio>

#include "LibBytes.h"

void ProgressMeter::Start(const double& now)
{
	fStart = fNow = now;
	fLastShown = -1;
	fDone = fTotal = 0;
}

void ProgressMeter::Update(const int64& done, const int64& total, const double& now)
{
	fTotal = total > 0 ? total : 0;
	fDone = done < 0 ? 0 : (done > fTotal ? fTotal : done);
	fNow = now;
}

std::string ProgressMeter::Text() const
{
	const int percent = fTotal > 0 ? int(fDone * 100 / fTotal) : 0;
	LibString done;
	LibString total;
	LibBytesToString(fDone, done, 1);
	LibBytesToString(fTotal, total, 1);
	char text[160];
	int length =
	        snprintf(text, sizeof(text), "%3d%% %s of %s", percent, done.String(), total.String());
	const double elapsed = fNow - fStart;
	if (elapsed > 0 && fDone > 0) {
		const double rate = double(fDone) / elapsed;
		LibString rateText;
		LibBytesToString(int64(rate), rateText, 1);
		const double left = double(fTotal - fDone) / rate;
		snprintf(text + length, sizeof(text) - size_t(length), ", %s/s, %.0f s left",
		         rateText.String(), left);
	}
	return text;
}

bool ProgressMeter::Due(const double& now, const double& interval)
{
	if (fLastShown >= 0 && now - fLastShown < interval)
		return false;
	fLastShown = now;
	return true;
}
