// The operating system's version, the login name and whole-process thread control.
#include "LibSystem.h"

#include <dirent.h>
#include <pwd.h>
#include <signal.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The user-mode time, in clock ticks, from the text of a /proc stat file.
int64 UserTicks(const std::string& stat)
{
	// The name in parentheses may hold spaces: count fields after its end.
	size_t close = stat.rfind(')');
	if (close == std::string::npos)
		return 0;
	std::istringstream fields(stat.substr(close + 1));
	std::string field;
	// After the name: state is field 3, utime field 14.
	for (int i = 3; i <= 14; i++) {
		if (!(fields >> field))
			return 0;
	}
	return strtoll(field.c_str(), nullptr, 10);
}

std::string ReadWhole(const std::string& path)
{
	std::ifstream file(path);
	std::stringstream text;
	text << file.rdbuf();
	return text.str();
}

status_t SignalTeam(const team_id& team, const int& signal)
{
	if (team <= 0)
		return B_BAD_TEAM_ID;
	if (kill(team, signal) != 0)
		return errno == ESRCH ? B_BAD_TEAM_ID : status_from_errno(errno);
	return B_OK;
}

} // namespace

void LibGetOSVersion(LibString& version)
{
	struct utsname name;
	if (uname(&name) != 0 || name.release[0] == '\0')
		return;
	version.Formatted("%s %s", name.sysname, name.release);
}

LibString LibGetLogin()
{
	char name[256];
	if (getlogin_r(name, sizeof(name)) == 0 && name[0] != '\0')
		return LibString(name);
	struct passwd entry;
	struct passwd* found = nullptr;
	char buffer[4096];
	if (getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &found) == 0 && found != nullptr)
		return LibString(found->pw_name);
	return LibString("");
}

double lib_team_cpu_time(const team_id& team)
{
	std::string tasks = "/proc/" + std::to_string(team) + "/task";
	DIR* dir = opendir(tasks.c_str());
	if (dir == nullptr)
		return 0;
	int64 ticks = 0;
	while (struct dirent* entry = readdir(dir)) {
		if (entry->d_name[0] == '.')
			continue;
		ticks += UserTicks(ReadWhole(tasks + "/" + entry->d_name + "/stat"));
	}
	closedir(dir);
	long perSecond = sysconf(_SC_CLK_TCK);
	return double(ticks) / double(perSecond > 0 ? perSecond : 100);
}

status_t lib_suspend_team(const team_id& team)
{
	if (team == getpid())
		return B_NOT_ALLOWED;
	return SignalTeam(team, SIGSTOP);
}

status_t lib_resume_team(const team_id& team)
{
	return SignalTeam(team, SIGCONT);
}
