#pragma once

#include <string>

// Every database operation returns a signed result code: zero or positive is
// success, negative is failure. A negative code is either the most negative
// native error code of the driver's diagnostics or one of these.
namespace DbResult {

constexpr int kOk = 0;
constexpr int kErrorWithoutNativeCode = -30000;
constexpr int kUnsupportedDbms = -30001;
constexpr int kNeedsLength = -30003;
constexpr int kNeedsDecimals = -30004;
constexpr int kNoTableName = -30005;
constexpr int kNoIndexName = -30006;
constexpr int kNoColumn = -30007;
constexpr int kNoDataType = -30008;
constexpr int kNoSegment = -30009;
constexpr int kNoTriggerName = -30011;
constexpr int kNoTriggerBody = -30012;
constexpr int kSuccessWithInfo = -31000;
constexpr int kInvalidHandle = -31002;
constexpr int kNoData = -31003;
// The user stopped a long operation (the loading of the tables).
constexpr int kCancelled = -31004;

// The engine's report that a named object does not exist; catalogue loads
// that may meet a missing dictionary treat it like the end of the rows.
constexpr int kObjectNotFound = -1305;

// The program's message table, keyed by the code's absolute value; null
// when the table has no entry for the key.
const char *LookupMessage(int key);

} // namespace DbResult
