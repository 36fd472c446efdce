#pragma once
// The decoder of the Windows test builds: zxing-cpp has no MinGW-w64 build, so
// decode() reports failure and counts the call; WineTestMain reports a test that
// reached it as skipped.

namespace testsupport {

// Calls of decode() in the running test.
int decoderCallsInTest();
void resetDecoderCalls();

}  // namespace testsupport
