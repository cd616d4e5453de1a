// InstallConfig: the install run, the requirement checks and auto-launch.
// Placeholders until the run is written: nothing is installed yet.
#include "InstallConfig.h"

int32 InstallConfig::Action()
{
	return INSTALL_RUN_OVER;
}

int32 InstallConfig::CheckSystemResources()
{
	return INSTALL_CHECK_GO_ON;
}

void InstallConfig::AutoLaunch()
{
}
