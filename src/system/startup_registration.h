// The check the program makes before anything else: the classes root must
// name "Zentrope" as "Zentrope File". A store that cannot hold even that is
// reported, and the program then ends without a window.
#pragma once

#include "platform/dialogs.h"
#include "system/registry_store.h"

inline constexpr char kProgramClassKey[] = "Zentrope";
inline constexpr char kProgramClassName[] = "Zentrope File";
inline constexpr char kRegistryCorruptCaption[] = "Zentrope";
inline constexpr char kRegistryCorruptText[] =
    "Your Windows Registration Database is corrupt.  Please shut down Windows, delete REG.DAT "
    "from the Windows directory and restart Windows.";

// Writes "Zentrope File" as the default value of "Zentrope" unless it is
// already exactly that. False when it could not be written.
bool RegisterProgramClass(TRegistryStore& registry);

// RegisterProgramClass, and on failure the message box (no icon). False when
// the program must end.
bool CheckRegistryAtStart(DialogService& dialogs, TRegistryStore& registry);
