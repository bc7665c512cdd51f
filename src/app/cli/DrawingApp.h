#pragma once
// The drawing module for the commands that draw graphs (graph, export):
// loaded on first use from beside the program, or from the library folder
// of an installed one, with the Qt application object that drawing needs
// for the lifetime of a DrawingApp.

#include "DrawingCalls.h"

namespace tavorix::cli {

// The module's calls; throws TavorixError when it cannot be loaded.
const DrawingCalls& Drawing();

class DrawingApp {
 public:
  DrawingApp() : calls_(Drawing()) { calls_.Start(); }
  ~DrawingApp() { calls_.Stop(); }
  DrawingApp(const DrawingApp&) = delete;
  DrawingApp& operator=(const DrawingApp&) = delete;

  const DrawingCalls& Calls() const { return calls_; }

 private:
  const DrawingCalls& calls_;
};

}  // namespace tavorix::cli
