#pragma once
// Runs Save-Run's stages on a worker (QtConcurrent) while the window stays
// responsive: progress lines come back as signals, the pauses between the
// stages happen on the worker, Cancel stops the run within a fraction of a
// second, and the outcome is handed back by value when the run ends.

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/UDMTavorix.h"
#include "report/RunPipeline.h"

namespace tavorix {

struct TRunRequest {
  TDMTavorix Series;  // FileName is the ".inp" just written
  bool CompositeOn = false;
  bool SortRankedList = true;
  int PauseMs = 500;
};

struct TRunOutcome {
  PipelineResult Result;
  TDMTavorix Series;                 // as the run left it (ranked values, ".out" name, AvAbsDiff)
  std::shared_ptr<const TavorixRun> Run;  // the run's context as the stages left it
  std::vector<std::string> Notices;  // notes of the stages, shown when the run has ended
  std::string Error;                 // a failed run: the program's message
  bool Cancelled = false;
};

class TRunController : public QObject {
  Q_OBJECT

 public:
  explicit TRunController(QObject* parent = nullptr);
  ~TRunController() override;

  void Start(TRunRequest request);
  void Cancel();
  bool Running() const { return running_; }

 signals:
  void Progress(const QString& line);
  void Finished(const tavorix::TRunOutcome& outcome);

 private:
  void Done();

  QFutureWatcher<TRunOutcome> watcher_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  bool running_ = false;
};

}  // namespace tavorix
