// Whether the program has started before for this user. The record is a key
// in "firststart.ini" in the user's system folder, so it survives deleting or
// replacing the settings files themselves.
#pragma once

#include <string>

// True until RecordFirstStart has been called once for this user.
bool IsFirstStart();
// Creates the system folder when needed; false when the record cannot be written.
bool RecordFirstStart();
std::string FirstStartRecordFile();
