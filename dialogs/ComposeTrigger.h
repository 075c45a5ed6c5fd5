#pragma once

#include "db/SchemaChange.h"

// The trigger as the Trigger dialog's controls hold it, or the first error
// found: -30011 when the name is empty, then -30012 when the body is. The
// name, the body, the firing order and the condition lose their trailing
// blanks, tabs and line breaks, never their leading ones; a firing order or
// condition that is then empty is left out.
CComposedChange ComposeCreateTrigger(CCreateTrigger typed);
