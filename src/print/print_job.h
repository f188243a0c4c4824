// The Print command: the current picture, or the thumbnail sheet as one page
// titled "thumbnails", printed within the margins on the current printer.
#pragma once

class PrintHost;
class TWinPrinter;

// Without `with_dialog` (a slideshow runs) the page goes at once to the
// current printer. True when the page was printed or written; false when the
// dialog was cancelled or the job was cancelled or failed (the log and, with
// the dialog, a message say which).
bool RunPrintCommand(PrintHost& window, TWinPrinter& printer, bool with_dialog);
