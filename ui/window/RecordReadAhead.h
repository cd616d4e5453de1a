// The installer's record and its item rows read on a thread from the start
// of the program, before the display is opened and the window is made: the
// window takes them when it loads instead of reading them itself.
#pragma once

#include <vector>

#include "ConfigLoader.h"

class BMessage;
class InstallListItem;

class RecordReadAhead {
public:
	// Starts reading this program's record, once.
	static void Start();
	// Whether a reading was started and not yet taken.
	static bool Pending();
	// Waits for the reading and hands it over: the record into `record`, the
	// rows (now the caller's) into `items`. False when none was started.
	static bool Take(BMessage& record, ConfigReading& reading,
	                 std::vector<InstallListItem*>& items);
	// Reads the record and the rows here, as the thread does.
	static void Read(BMessage& record, ConfigReading& reading,
	                 std::vector<InstallListItem*>& items);
};
