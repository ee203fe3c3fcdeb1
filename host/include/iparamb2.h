#pragma once
// The parameter-block class descriptor. The parameter blocks themselves are not part of the
// stand-in: the plug-ins keep no parameters.
#include "PB2Export.h"
#include "coreexp.h"
#include "plugapi.h"

class PB2Export ClassDesc2 : public ClassDesc {};
