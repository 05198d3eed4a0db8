// Test-mode data: VazSetTest, the value, area and curve reads and the three
// copy-out exports.
// Placeholder: the test-data part of the library is not built yet; every
// operation fails (returns 0) or does nothing.
#include "vaz_device.h"

int CVazDevice::SetTest(int /*first*/, int /*second*/) { return 0; }        // not built yet
void CVazDevice::ValueRead(const char* /*command*/) {}                      // not built yet
int CVazDevice::AreaRead(const char* /*command*/) { return 0; }             // not built yet
void CVazDevice::CurveRead(int /*k*/) {}                                    // not built yet
int CVazDevice::GetValue(char /*channel*/, int* /*values*/) { return 0; }   // not built yet
int CVazDevice::GetOriOrGray(char /*which*/, int* /*values*/) { return 0; } // not built yet
int CVazDevice::GetCurve(int* /*values*/) { return 0; }                     // not built yet
