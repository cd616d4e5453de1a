// Temporary folders, environment overrides and file helpers for the storage tests.
#pragma once

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"
