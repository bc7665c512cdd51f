#include "ui/BootstrapController.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include "core/RunCancel.h"
#include "graphs/fitted/FittedGraphs.h"

namespace tavorix {

TBootstrapController::TBootstrapController(QObject* parent) : QObject(parent) {
  connect(&watcher_, &QFutureWatcher<TBootstrapOutcome>::finished, this, &TBootstrapController::Done);
}

TBootstrapController::~TBootstrapController() {
  if (cancel_) cancel_->store(true);
  watcher_.waitForFinished();
}

void TBootstrapController::Start(TBootstrapRequest request) {
  Run(request.Replicas, [request = std::move(request)](const BootstrapOptions& base, TBootstrapOutcome& outcome) {
    BootstrapOptions options = base;
    options.Periods = request.Periods;
    outcome.Result = RunBootstrap(LoadBootstrapSeries(request.OutPath, options.Cancel), options);
  });
}

void TBootstrapController::StartBand(TBandRequest request) {
  Run(request.Replicas, [request = std::move(request)](const BootstrapOptions& options, TBootstrapOutcome& outcome) {
    GraphView view = request.View;
    AddBootstrapBand(request.OutPath, view, options);
    outcome.Band = std::move(view.Band);
  });
}

void TBootstrapController::Run(int replicas, Job job) {
  if (running_) return;
  running_ = true;
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  auto cancel = cancel_;
  QPointer<TBootstrapController> self(this);
  auto progress = [self](int done, int total) {
    if (self)
      QMetaObject::invokeMethod(self, [self, done, total] { if (self) emit self->Progress(done, total); },
                                Qt::QueuedConnection);
  };
  watcher_.setFuture(QtConcurrent::run([replicas, job = std::move(job), cancel, progress]() {
    TBootstrapOutcome outcome;
    BootstrapOptions options;
    options.Replicas = replicas;
    options.Cancel = cancel.get();
    options.Progress = progress;
    try {
      job(options, outcome);
    } catch (const RunCancelled&) {
      outcome = TBootstrapOutcome{};
      outcome.Cancelled = true;
    } catch (const std::exception& e) {
      outcome = TBootstrapOutcome{};
      outcome.Error = e.what();
    }
    return outcome;
  }));
}

void TBootstrapController::ShowProgressIn(QProgressBar* bar) {
  connect(this, &TBootstrapController::Progress, bar, [bar](int done, int total) {
    bar->setMaximum(total);
    bar->setValue(done);
  });
}

void TBootstrapController::Cancel() {
  if (cancel_) cancel_->store(true);
}

void TBootstrapController::Done() {
  // Progress queued before the end arrives first.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  running_ = false;
  emit Finished(watcher_.result());
}

}  // namespace tavorix
