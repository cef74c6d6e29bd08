// Control and resource identifiers of every window, shared by the .rc scripts, the program and
// the GUI autopilot. Each form has its own header.
#pragma once

#include "idDialogi.h"
#include "idMain.h"
