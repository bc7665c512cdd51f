#pragma once
// Runs the bootstrap of a results file on a worker (QtConcurrent), as the
// run controller runs Save-Run: the window stays responsive, the replicas
// finished come back as signals, Cancel stops it within a fraction of a
// second, and the outcome is handed back by value when it ends. It makes
// either the bootstrap's table (design values, calculator) or the band of a
// graph (graphs 4 and 8).

#include <QFutureWatcher>
#include <QObject>
#include <QProgressBar>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calculator/Bootstrap.h"
#include "graphs/GraphView.h"

namespace tavorix {

struct TBootstrapRequest {
  std::string OutPath;          // the results file (its ".aux" and ".inp" beside it)
  std::vector<double> Periods;  // the return periods of the table
  int Replicas = kDefaultReplicas;
};

// The band of a graph prepared on the UI thread (a copy goes to the worker).
struct TBandRequest {
  std::string OutPath;  // the results file the view was prepared from
  GraphView View;
  int Replicas = kDefaultReplicas;
};

struct TBootstrapOutcome {
  std::optional<BootstrapResult> Result;  // empty when it failed or was cancelled
  std::optional<BootstrapBand> Band;      // of a band request, the same
  std::string Error;                      // the program's message of a refusal
  bool Cancelled = false;
};

class TBootstrapController : public QObject {
  Q_OBJECT

 public:
  explicit TBootstrapController(QObject* parent = nullptr);
  ~TBootstrapController() override;

  void Start(TBootstrapRequest request);
  void StartBand(TBandRequest request);
  void Cancel();
  bool Running() const { return running_; }
  // Shows the replicas done in `bar` as they come.
  void ShowProgressIn(QProgressBar* bar);

 signals:
  void Progress(int done, int total);
  void Finished(const tavorix::TBootstrapOutcome& outcome);

 private:
  // Runs `job` on the worker with the options' replicas, Cancel and Progress set.
  using Job = std::function<void(const BootstrapOptions& options, TBootstrapOutcome& outcome)>;
  void Run(int replicas, Job job);
  void Done();

  QFutureWatcher<TBootstrapOutcome> watcher_;
  std::shared_ptr<std::atomic<bool>> cancel_;
  bool running_ = false;
};

}  // namespace tavorix
