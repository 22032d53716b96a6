#pragma once
// The focus-event gate is implemented in the value library (vb/Focus.cpp),
// beside the message box that suppresses focus events; the names stay in
// namespace forms. Include either header.
#include "vb/Focus.h"
