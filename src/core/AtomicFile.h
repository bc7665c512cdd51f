#pragma once
// Writes user files so that a failure never leaves a half-written file and
// never destroys the previous one: the content goes to a temporary file in
// the target's folder, which is then renamed over the target.

#include <functional>
#include <ostream>
#include <string>

namespace tavorix {

// Calls write with a stream, then puts what was written at path atomically.
// When write throws, nothing on disk changes and the exception passes on.
// When the file cannot be created or written, a TavorixError with the
// program's "could not be opened" text is thrown and nothing on disk changes.
void WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace tavorix
