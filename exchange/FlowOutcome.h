#pragma once
// How a flow of comparison or backup ended, and for a failure the text the user was shown: the
// register's step ("Upload:PLU...Error!") or the file that could not be read or written.

#include "RegisterConnection.h"

#include <string>

struct TFlowOutcome {
    TFlowResult result = TFlowResult::Done;
    std::string errorText; // code-page bytes for a register's step; the file's reason otherwise
    // RegisterFailed: the register answered, but the flow would not go on with what it found
    // (errorText says why, and nobody has been told yet). Nothing was sent.
    bool refused = false;
    // errorText in the program's language (local 8-bit) where the flow built it; errorText stays
    // English, as the journal keeps it.
    std::string peopleText = {};

    bool Done() const { return result == TFlowResult::Done; }
    const std::string& PeopleText() const { return peopleText.empty() ? errorText : peopleText; }
};

// "PATH: Disk full (No space left on device)": the program's own text and the system's.
TFlowOutcome FileOutcome(const std::string& path, int error);
