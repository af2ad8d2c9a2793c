// The shell's message routines and error traps (Messages.h of this folder)
// under a name of their own, for windows whose include path also holds the
// results core's Messages.h: a quoted include looks in the including file's
// folder first, so this always brings in the shell's.
#pragma once

#include "Messages.h"
