#pragma once
#include "store/SharedState.h"

// A list window whose grid the entry and copy dialogs rebuild after they
// change programs: the week list ("Form_Week") or the special list
// ("Form_Special").
class ListHost
{
public:
    virtual ~ListHost() = default;
    // Rebuilds the grid for circuit and day code (week list) or special
    // number (special list) and lays out its columns.
    virtual void rebuildList(int circuit, int dayOrSpecial) = 0;
};

// Rebuilds the opener named by the request's Origin (1 week list, 2 special
// list) and updates its remaining count.
void RefreshOpener(const EditRequestData& request);
// The same for a window given by name.
void RefreshList(const char* formName, int circuit, int dayOrSpecial);
