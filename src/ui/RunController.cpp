#include "ui/RunController.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>
#include <chrono>

#include "core/RunCancel.h"

namespace tavorix {
namespace {

constexpr const char* kRunFailedText = "The calculations stopped because of an error.";

// A pause between stages that ends early when the run is cancelled.
void PauseUnlessCancelled(int ms, const std::atomic<bool>& cancel) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cancel.load() && std::chrono::steady_clock::now() < end) QThread::msleep(10);
}

}  // namespace

TRunController::TRunController(QObject* parent) : QObject(parent) {
  connect(&watcher_, &QFutureWatcher<TRunOutcome>::finished, this, &TRunController::Done);
}

TRunController::~TRunController() {
  if (cancel_) cancel_->store(true);
  watcher_.waitForFinished();
}

void TRunController::Start(TRunRequest request) {
  if (running_) return;
  running_ = true;
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  auto cancel = cancel_;
  QPointer<TRunController> self(this);
  auto progress = [self](std::string_view line) {
    const QString text = QString::fromUtf8(line.data(), static_cast<int>(line.size()));
    if (self) QMetaObject::invokeMethod(self, [self, text] { if (self) emit self->Progress(text); }, Qt::QueuedConnection);
  };
  watcher_.setFuture(QtConcurrent::run([request = std::move(request), cancel, progress]() mutable {
    TRunOutcome outcome;
    PipelineOptions options;
    options.SortRankedList = request.SortRankedList;
    options.Progress = progress;
    const int pauseMs = request.PauseMs;
    options.Pause = [pauseMs, cancel] { PauseUnlessCancelled(pauseMs, *cancel); };
    options.Cancel = cancel.get();
    auto run = std::make_shared<TavorixRun>();
    outcome.Series = std::move(request.Series);
    try {
      outcome.Result = RunSaveRunStages(outcome.Series, *run, request.CompositeOn, options);
    } catch (const RunCancelled&) {
      outcome.Cancelled = true;
    } catch (const std::exception& e) {
      outcome.Error = e.what();
      if (outcome.Error.empty()) outcome.Error = kRunFailedText;
    } catch (...) {
      outcome.Error = kRunFailedText;
    }
    outcome.Notices = run->Notices;
    outcome.Run = std::move(run);
    return outcome;
  }));
}

void TRunController::Cancel() {
  if (cancel_) cancel_->store(true);
}

void TRunController::Done() {
  // Progress lines queued before the end arrive first.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
  running_ = false;
  emit Finished(watcher_.result());
}

}  // namespace tavorix
