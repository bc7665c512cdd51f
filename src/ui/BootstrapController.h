#pragma once
// Runs the bootstrap of a results file on a worker (QtConcurrent), as the
// run controller runs Save-Run: the window stays responsive, the replicas
// finished come back as signals, Cancel stops it within a fraction of a
// second, and the outcome is handed back by value when it ends.

#include <QFutureWatcher>
#include <QObject>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calculator/Bootstrap.h"

namespace tavorix {

struct TBootstrapRequest {
  std::string OutPath;          // the results file (its ".aux" and ".inp" beside it)
  std::vector<double> Periods;  // the return periods of the table
  int Replicas = kDefaultReplicas;
};

struct TBootstrapOutcome {
  std::optional<BootstrapResult> Result;  // empty when it failed or was cancelled
  std::string Error;                      // the program's message of a refusal
  bool Cancelled = false;
};

class TBootstrapController : public QObject {
  Q_OBJECT

 public:
  explicit TBootstrapController(QObject* parent = nullptr);
  ~TBootstrapController() override;

  void Start(TBootstrapRequest request);
  void Cancel();
  bool Running() const { return running_; }

 signals:
  void Progress(int done, int total);
  void Finished(const tavorix::TBootstrapOutcome& outcome);

 private:
  void Done();

  QFutureWatcher<TBootstrapOutcome> watcher_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  bool running_ = false;
};

}  // namespace tavorix
