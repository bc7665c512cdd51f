#include "ui/BootstrapController.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include "core/RunCancel.h"

namespace tavorix {

TBootstrapController::TBootstrapController(QObject* parent) : QObject(parent) {
  connect(&watcher_, &QFutureWatcher<TBootstrapOutcome>::finished, this, &TBootstrapController::Done);
}

TBootstrapController::~TBootstrapController() {
  if (cancel_) cancel_->store(true);
  watcher_.waitForFinished();
}

void TBootstrapController::Start(TBootstrapRequest request) {
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
  watcher_.setFuture(QtConcurrent::run([request = std::move(request), cancel, progress]() {
    TBootstrapOutcome outcome;
    BootstrapOptions options;
    options.Replicas = request.Replicas;
    options.Periods = request.Periods;
    options.Cancel = cancel.get();
    options.Progress = progress;
    try {
      outcome.Result = RunBootstrap(LoadBootstrapSeries(request.OutPath, options.Cancel), options);
    } catch (const RunCancelled&) {
      outcome.Cancelled = true;
    } catch (const std::exception& e) {
      outcome.Error = e.what();
    }
    return outcome;
  }));
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
