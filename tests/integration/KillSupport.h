// Killing an installation at a chosen line of its journal: the kill tests of
// fresh installations and of upgrades.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InstallTestSupport.h"

namespace install_test {

// How a run watched for its kill point ended.
enum KillEnding { kKilled, kKilledAfterKeeping, kCompleted };

inline int JournalLines(const std::string& path)
{
	const std::string text = ReadFile(path);
	return int(std::count(text.begin(), text.end(), '\n'));
}

// Starts `command` and kills it once the journal at `journal` holds `lines`
// lines; kCompleted when the run ended first, kKilledAfterKeeping when the
// kill came after the journal was gone.
inline KillEnding KillWhenJournalHas(InstallWorld& world, const std::vector<std::string>& command,
                                     const std::string& journal, const int& lines)
{
	const std::string output = world.Temp() + "/run-kill-" + std::to_string(lines) + ".out";
	const pid_t child = world.Start(command, output, output + ".err");
	// The watcher goes first on a busy machine, so the kill lands near its line.
	setpriority(PRIO_PROCESS, id_t(child), 19);
	int status = 0;
	while (JournalLines(journal) < lines) {
		if (waitpid(child, &status, WNOHANG) == child)
			return kCompleted;
	}
	kill(child, SIGKILL);
	waitpid(child, &status, 0);
	return Exists(journal) ? kKilled : kKilledAfterKeeping;
}

} // namespace install_test
