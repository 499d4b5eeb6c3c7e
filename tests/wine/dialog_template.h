#pragma once
// The tests' dialog templates live in one header for the native and the Wine tests.
#include "../dialog_template.h"
