// StartupCheck: whether the host's exchange file lets the dialog do its work, decided before
// the user types, and what the dialog says when it does not.
#pragma once

#include <string>
#include <string_view>

class TJGdata;

// Why the dialog ends at start, writing nothing.
enum class TStartupProblem {
    None,
    // No exchange file: the program was not started by the host (double-clicked, say).
    NoHostFile,
    // A file is there but cannot be read as the host's (unreadable, a folder, too large).
    HostFileUnreadable,
    // The file is marked read-only: OK could neither replace it nor remove it.
    FileReadOnly,
    // The folder takes no new file, or lets none be removed: OK could neither replace the
    // file nor remove it, and the host would execute its own input as commands.
    FolderNotWritable,
};

// What start-up found out about the exchange file.
struct THostFileState {
    bool present = false;      // something by its name is in the program's folder
    bool read = false;         // it was read as the host's file
    bool readOnly = false;     // it is marked read-only
    bool replaceable = false;  // a save could replace it, or remove it after a failure
};

// The first problem of the state, in the order the file is met: there, read, replaceable.
TStartupProblem StartupProblem(const THostFileState& state);

// Reads the host's file fileName into jg and finds out the rest of the state. The folder is
// tried with a temporary file only once the file has been read, so that nothing is written
// beside a file that is not the host's.
THostFileState OpenHostFile(const std::u16string& fileName, TJGdata& jg);

// The message for a problem: what happened, the folder (as the user sees it), the reason and
// what to do. program is the program's file name. Empty for None.
std::u16string StartupMessage(TStartupProblem problem, std::u16string_view folder,
                              std::u16string_view program);
