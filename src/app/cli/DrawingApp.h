#pragma once
// The Qt application object that drawing needs, for the commands that draw
// graphs (graph, export). Without a display the offscreen platform serves.

#include <QGuiApplication>
#include <memory>

namespace tavorix::cli {

class DrawingApp {
 public:
  DrawingApp();
  ~DrawingApp();
  DrawingApp(const DrawingApp&) = delete;
  DrawingApp& operator=(const DrawingApp&) = delete;

 private:
  int argc_ = 1;
  char name_[12] = "tavorix-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

}  // namespace tavorix::cli
