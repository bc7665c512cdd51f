#ifdef TAVORIX_WITH_DRAWING
#include "DrawingApp.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "core/TavorixError.h"

namespace tavorix::cli {

namespace {

constexpr const char* kModuleName = "tavorix-cli-draw.so";

// The folder of the running program.
std::string ProgramFolder() {
  std::vector<char> path(PATH_MAX + 1);
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return ".";
  const std::string exe(path.data(), static_cast<std::size_t>(n));
  const std::size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "." : exe.substr(0, slash);
}

const DrawingCalls& LoadDrawing() {
  const std::string folder = ProgramFolder();
  // Beside the program in the build tree, in the library folder once installed.
  const std::string candidates[] = {folder + "/" + kModuleName,
                                    folder + "/" TAVORIX_DRAWING_FROM_BIN "/" + kModuleName};
  std::string reasons;
  for (const std::string& path : candidates) {
    if (access(path.c_str(), F_OK) != 0) continue;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      reasons += std::string("\n  ") + dlerror();
      continue;
    }
    using Entry = const DrawingCalls* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(handle, "tavorix_cli_drawing_calls"));
    const DrawingCalls* calls = entry ? entry() : nullptr;
    if (calls && calls->Version == kDrawingCallsVersion) return *calls;
    reasons += "\n  " + path + ": not a drawing module of this build";
  }
  if (reasons.empty()) reasons = "\n  not found beside the program (" + candidates[0] + ") nor at " + candidates[1];
  throw TavorixError("The drawing module could not be loaded:" + reasons);
}

}  // namespace

const DrawingCalls& Drawing() {
  static const DrawingCalls& calls = LoadDrawing();
  return calls;
}

}  // namespace tavorix::cli
#endif
