#pragma once

// How many times the global operator new has run in this executable. Linking CountingNew.cpp
// replaces operator new, so only an executable of its own should hold it.
long allocationCount();
