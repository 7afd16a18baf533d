// Counts every operator new of the test program, the plug-in's included
// (its calls bind to this program's definition). A test that calls
// AllocationCount() links the replacement operators with it.
#pragma once

long AllocationCount();
