#pragma once

// The item moved below the channel so that the command builders need not
// depend on it; this path stays for code not yet moved over.
#include "model/CommandItem.h"
