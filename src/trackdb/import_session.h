// ImportSession: the variables that live for one import (LREFRESH, NRECADD, NRECDEL, LBREAK,
// CDRIVENAME, CPATH, CFILE) and what the import keeps beside them. Made by MP3IMPORT, read and
// advanced by SCANDRIVE, GETINDIR and PUTDATA, dropped when the import ends.
#pragma once

#include <string>
#include <vector>

namespace klango::trackdb {

struct ImportSession {
    // The target existed and the user chose to update it; after the file loop, the answer to
    // the question whether missing entries are to be deleted.
    bool LREFRESH = false;
    long NRECADD = 0;        // records appended
    long NRECDEL = 0;        // records deleted because their file is gone
    bool LBREAK = false;     // "&Unterbrechen" was pressed
    std::string CDRIVENAME;  // medium name written into DISCNAME
    std::string CPATH;       // folder shown in the import dialog
    std::string CFILE;       // file name shown in the import dialog

    std::string sourceFolder;  // the chosen folder, CP1252 text ending with "/"
    // A record could not be written (disk full, ...): the import stopped there and said so.
    bool writeFailed = false;
    // Files left out because their names cannot be written in CP1252.
    size_t skippedCount = 0;
    std::vector<std::string> skippedNames;
};

}  // namespace klango::trackdb
