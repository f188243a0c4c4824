// The abort dialog of a print job: "Printing" with the job's title and a
// Cancel button, up over the window while the page is drawn and sent. Cancel
// asks the running job to stop; the job polls for that between rows and
// blocks, and a job already handed to CUPS is cancelled there.
#pragma once

#include <memory>
#include <string>

#include "platform/dialog_template.h"
#include "platform/modeless_dialog.h"

class PrintHost;

inline constexpr int kAbortTitleId = 1221;

DialogTemplate AbortDialogTemplate(const std::string& title);

// Shows the dialog over the host's window for as long as the result lives;
// null where the host shows none.
std::unique_ptr<ModelessDialog> OpenAbortDialog(PrintHost& host, const std::string& title);

// Cancel was pressed in the dialog.
bool AbortRequested(const ModelessDialog* dialog);
