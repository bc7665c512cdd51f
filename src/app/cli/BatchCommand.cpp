// tavorix-cli batch: many series in one call. Each series is run as `run`
// runs it, several side by side; a series that fails is recorded with its
// message and the others go on; a series whose results are newer than its
// input is taken as it stands, so an interrupted batch goes on where it
// stopped. At the end a summary lists every series that finished.

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>

#include "Commands.h"
#include "Json.h"
#include "SeriesRun.h"
#include "StopSignals.h"
#include "calculator/Bootstrap.h"
#include "calculator/Calculator.h"
#include "calculator/DesignTable.h"
#include "core/TextEscape.h"
#include "core/AtomicFile.h"
#include "core/NumberFormat.h"
#include "core/RunCancel.h"
#include "core/StringToFloat.h"
#include "core/TavorixError.h"
#include "core/TextLines.h"
#include "fitting/Registry.h"
#include "report/ParameterFile.h"

namespace tavorix::cli {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kDefaultSummary = "batch-summary.csv";
constexpr double kPeriods[] = {10.0, 100.0};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

bool IsSeriesFile(const fs::path& path) {
  const std::string ext = Lower(path.extension().string());
  return ext == ".txt" || ext == ".inp";
}

// ---------------------------------------------------------------------------
// The series of the command line

struct Series {
  std::string File;  // as the user named it, or the folder joined with its name
  std::string Output;  // the ".out" the series writes
  bool UpToDate = false;
};

fs::file_time_type WriteTime(const std::string& path) {
  std::error_code ec;
  const auto t = fs::last_write_time(path, ec);
  return ec ? fs::file_time_type::min() : t;
}

bool IsInputFileName(const std::string& path) { return Lower(fs::path(path).extension().string()) == ".inp"; }

// The files of the paths: a file as given, a folder's ".txt" and ".inp"
// files in name order (those of its subfolders with recursive). Files that
// would write the same results are one series, the first named. NAME.inp
// beside NAME.txt is what running the column writes, so the column is the
// series and the input file no series of its own.
std::vector<Series> CollectSeries(const std::vector<std::string>& paths, bool recursive) {
  std::vector<std::string> files;
  for (const auto& path : paths) {
    std::error_code ec;
    if (!fs::is_directory(path, ec)) {
      files.push_back(path);
      continue;
    }
    std::vector<std::string> found;
    auto take = [&](const fs::directory_entry& e) {
      std::error_code dirError;
      if (!e.is_directory(dirError) && IsSeriesFile(e.path())) found.push_back(e.path().string());
    };
    const auto options = fs::directory_options::skip_permission_denied;
    if (recursive) {
      for (const auto& e : fs::recursive_directory_iterator(path, options, ec)) take(e);
    } else {
      for (const auto& e : fs::directory_iterator(path, options, ec)) take(e);
    }
    if (ec) throw TavorixError(FileOpenErrorText(path));
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }

  std::vector<Series> series;
  std::map<std::string, std::size_t> byStem;
  for (const auto& file : files) {
    // The results are named as the run names them: after the input file,
    // which for a column is the column's name with ".inp".
    const std::string input = fs::absolute(fs::path(file).replace_extension(".inp")).lexically_normal().string();
    const auto [it, added] = byStem.emplace(WithExtension(input, ""), series.size());
    if (added) {
      series.push_back({file, WithExtension(input, ".out")});
      continue;
    }
    std::string& kept = series[it->second].File;
    if (IsInputFileName(kept) && !IsInputFileName(file)) kept = file;
  }
  return series;
}

// Results at least as new as the input, with a parameter file of a
// distribution the calculator knows: the series needs no run.
bool IsUpToDate(const Series& s) {
  std::error_code ec;
  if (!fs::exists(s.Output, ec) || !fs::exists(s.File, ec)) return false;
  if (WriteTime(s.Output) < WriteTime(s.File)) return false;
  const CalcParameters prm = ReadParam(WithExtension(s.Output, ".aux"));
  return prm.Found && CalcCodeKnown(prm.Code);
}

// ---------------------------------------------------------------------------
// One row of the summary

enum class Status { Done, Failed, UpToDate, Busy };

const char* StatusText(Status s) {
  switch (s) {
    case Status::Done: return "done";
    case Status::Failed: return "failed";
    case Status::UpToDate: return "up to date";
    case Status::Busy: return "busy";
  }
  return "";
}

struct Row {
  explicit Row(std::string file, Status state = Status::Failed, std::string message = {})
      : File(std::move(file)), State(state), Message(std::move(message)) {}

  std::string File;
  Status State;
  std::string Message;
  std::optional<int> N, Code;
  std::optional<double> AvAbsDiff, R2;
  std::optional<double> X[std::size(kPeriods)];
  // --bootstrap: the interval of X100 and the p-values of the fit statistics.
  std::optional<double> XlBoot100, XuBoot100, PKs, PAd, PCvm;
};

// X at the return periods of the summary: the calculator's design values,
// from the files as it reads them; empty where the distribution has no
// inverse.
void AddCalculatorValues(Row& row, const std::string& output) {
  try {
    const CalcInputs in = ReadCalcInputs(output);
    if (!row.N) row.N = in.Data.N;
    if (!row.Code) row.Code = in.Param.Code;
    const DesignTable table = MakeDesignTable(in, {std::begin(kPeriods), std::end(kPeriods)});
    for (std::size_t k = 0; k < table.Rows.size() && k < std::size(row.X); ++k) row.X[k] = table.Rows[k].Value.X;
  } catch (const TavorixError&) {
  }
}

// The number after a label at the start of a report line ("12.34%").
std::optional<double> ReportFigure(const std::string& report, std::string_view label) {
  for (std::size_t at = 0; (at = report.find(label, at)) != std::string::npos; at += label.size()) {
    if (at != 0 && report[at - 1] != '\n') continue;
    const std::size_t begin = at + label.size();
    const std::string_view rest =
        TrimBlanks(std::string_view(report).substr(begin, report.find_first_of("%\r\n", begin) - begin));
    return ParseFileReal(rest);
  }
  return std::nullopt;
}

Row UpToDateRow(const Series& s) {
  Row row(s.File, Status::UpToDate);
  try {
    const std::string report = ReadWholeFile(s.Output);
    row.AvAbsDiff = ReportFigure(report, " observed frequencies :");
    row.R2 = ReportFigure(report, " cumulative frequency :");
  } catch (const TavorixError&) {
  }
  AddCalculatorValues(row, s.Output);
  return row;
}

std::string Joined(const std::vector<std::string>& messages) {
  std::string text;
  for (const auto& m : messages) {
    if (m.empty()) continue;
    if (!text.empty()) text += "; ";
    text += m;
  }
  return text;
}

// Runs the series; empty when it was stopped before it finished.
std::optional<Row> RunRow(const Series& s, const SeriesSettings& settings, const PipelineOptions& options) {
  Row row(s.File);
  try {
    auto series = std::make_unique<SeriesRun>();
    std::vector<std::string> notes;
    RunSeries(s.File, settings, options, *series, [&](std::string_view text) {
      for (const auto& line : SplitLines(text)) notes.push_back(line);
    });
    const PipelineResult& r = series->Result;
    if (series->Data.NrOfData > 0) row.N = series->Data.NrOfData;
    notes.insert(notes.end(), series->Run.Notices.begin(), series->Run.Notices.end());
    if (const std::string failure = SeriesFailure(r); !failure.empty()) {
      notes.push_back(failure);
      row.Message = Joined(notes);
      return row;
    }
    row.State = Status::Done;
    row.Message = Joined(notes);
    row.N = series->Run.N;
    row.Code = r.DistCode;
    row.AvAbsDiff = r.AvAbsDiff;
    row.R2 = r.R2;
    AddCalculatorValues(row, r.OutputPath);
  } catch (const RunCancelled&) {
    return std::nullopt;
  } catch (const SeriesBusy& e) {
    row.State = Status::Busy;
    row.Message = e.what();
  } catch (const std::exception& e) {
    row.Message = e.what();
  }
  return row;
}

// The bootstrap of a series' results: the interval of X at T = 100 and the
// p-values, failed replicas noted in the message. False when it was stopped.
bool AddBootstrap(Row& row, const std::string& output, int replicas, int jobs, CancelFlag stop) {
  auto note = [&row](const std::string& text) { row.Message += (row.Message.empty() ? "" : "; ") + text; };
  auto finite = [](double v) { return std::isfinite(v) ? std::optional<double>(v) : std::nullopt; };
  try {
    const BootstrapSeries series = LoadBootstrapSeries(output, stop);
    BootstrapOptions options;
    options.Replicas = replicas;
    options.Periods = {100.0};
    options.Jobs = jobs;
    options.Cancel = stop;
    const BootstrapResult b = RunBootstrap(series, options);
    row.XlBoot100 = finite(b.Rows[0].Lower);
    row.XuBoot100 = finite(b.Rows[0].Upper);
    row.PKs = finite(b.PKs);
    row.PAd = finite(b.PAd);
    row.PCvm = finite(b.PCvm);
    if (b.Failed > 0)
      note("bootstrap: " + std::to_string(b.Failed) + " of " + std::to_string(b.Replicas) + " replicas failed" +
           (b.Marked() ? ", fewer than 90% succeeded" : ""));
  } catch (const RunCancelled&) {
    return false;
  } catch (const TavorixError& e) {
    note("bootstrap: " + std::string(TrimBlanks(e.what())));
  }
  return true;
}

// ---------------------------------------------------------------------------
// The summary

std::string CsvField(const std::string& s) { return CsvCell(s); }

template <class T>
std::string CsvNumber(const std::optional<T>& v) {
  return v ? FormatShortest(static_cast<double>(*v)) : std::string();
}

std::string ChosenName(const Row& row) { return row.Code ? std::string(TitleName(*row.Code)) : std::string(); }

void WriteCsv(std::ostream& out, const std::vector<Row>& rows, bool bootstrap) {
  out << "file,N,status,message,code,name,AvAbsDiff,R2,X10,X100" << (bootstrap ? ",Xl_boot100,Xu_boot100,p_ks,p_ad,p_cvm" : "")
      << "\n";
  for (const auto& r : rows) {
    out << CsvField(r.File) << ',' << CsvNumber(r.N) << ',' << StatusText(r.State) << ',' << CsvField(r.Message)
        << ',' << CsvNumber(r.Code) << ',' << CsvField(ChosenName(r)) << ',' << CsvNumber(r.AvAbsDiff) << ','
        << CsvNumber(r.R2);
    for (const auto& x : r.X) out << ',' << CsvNumber(x);
    if (bootstrap)
      for (const auto& v : {r.XlBoot100, r.XuBoot100, r.PKs, r.PAd, r.PCvm}) out << ',' << CsvNumber(v);
    out << '\n';
  }
}

struct Tally {
  int Total = 0, Done = 0, UpToDate = 0, Failed = 0, Busy = 0;
  void Add(Status s) {
    ++(s == Status::Done ? Done : s == Status::UpToDate ? UpToDate : s == Status::Busy ? Busy : Failed);
  }
  int Finished() const { return Done + UpToDate + Failed + Busy; }
};

void WriteSummaryJson(std::ostream& out, const std::vector<Row>& rows, const Tally& tally, bool stopped,
                      bool bootstrap) {
  Json series = Json::array();
  for (const auto& r : rows) {
    Json row = {{"file", r.File},
                {"N", JsonNumber(r.N)},
                {"status", StatusText(r.State)},
                {"message", r.Message},
                {"code", JsonNumber(r.Code)},
                {"name", ChosenName(r)},
                {"AvAbsDiff", JsonNumber(r.AvAbsDiff)},
                {"R2", JsonNumber(r.R2)},
                {"X10", JsonNumber(r.X[0])},
                {"X100", JsonNumber(r.X[1])}};
    if (bootstrap) {
      row["Xl_boot100"] = JsonNumber(r.XlBoot100);
      row["Xu_boot100"] = JsonNumber(r.XuBoot100);
      row["p_ks"] = JsonNumber(r.PKs);
      row["p_ad"] = JsonNumber(r.PAd);
      row["p_cvm"] = JsonNumber(r.PCvm);
    }
    series.push_back(std::move(row));
  }
  WriteJson(out, {{"total", tally.Total},
                  {"done", tally.Done},
                  {"up_to_date", tally.UpToDate},
                  {"failed", tally.Failed},
                  {"busy", tally.Busy},
                  {"stopped", stopped},
                  {"series", series}});
}

// ---------------------------------------------------------------------------
// Progress on standard error: on a terminal one line redrawn in place (a bar,
// series finished of all, failures, elapsed and estimated time left),
// otherwise one plain line per finished series.

std::string Duration(double seconds) {
  const long s = std::lround(std::max(0.0, seconds));
  char buf[32];
  if (s >= 3600)
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

class ProgressLine {
 public:
  ProgressLine(int total, int runs, bool terminal) : total_(total), runs_(runs), terminal_(terminal) {}

  // Called with the lock of the batch held.
  void Finished(const Row& row, const Tally& tally, bool ran) {
    if (ran) {
      ++runsFinished_;
      lastRun_ = Clock::now();
    }
    if (!terminal_) {
      std::cerr << "[" << tally.Finished() << "/" << total_ << "] " << StatusText(row.State) << " "
                << VisibleText(row.File);
      if (row.State == Status::Failed || row.State == Status::Busy) std::cerr << ": " << VisibleText(row.Message);
      std::cerr << std::endl;
      return;
    }
    if (row.State == Status::Failed || row.State == Status::Busy)
      std::cerr << "\r\x1b[K" << StatusText(row.State) << " " << VisibleText(row.File) << ": "
                << VisibleText(row.Message) << "\n";
    Draw(tally);
  }

  void Draw(const Tally& tally) {
    if (!terminal_) return;
    constexpr int kWidth = 24;
    const int finished = tally.Finished();
    const int filled = total_ ? finished * kWidth / total_ : kWidth;
    const double elapsed = std::chrono::duration<double>(Clock::now() - start_).count();
    std::string line = "\r\x1b[K[" + std::string(filled, '#') + std::string(kWidth - filled, '-') + "] " +
                       std::to_string(finished) + "/" + std::to_string(total_) + " series, " +
                       std::to_string(tally.Failed) + " failed, " + Duration(elapsed) + " elapsed";
    if (runsFinished_ > 0 && runsFinished_ < runs_) {
      // The pace of the runs so far, less the time the current ones have had.
      const double untilLast = std::chrono::duration<double>(lastRun_ - start_).count();
      const double left = untilLast / runsFinished_ * (runs_ - runsFinished_) - (elapsed - untilLast);
      line += ", about " + Duration(left) + " left";
    }
    std::cerr << line << std::flush;
  }

  void End() {
    if (terminal_) std::cerr << "\n";
  }

 private:
  int total_, runs_;
  bool terminal_;
  int runsFinished_ = 0;
  Clock::time_point start_ = Clock::now(), lastRun_;
};

// ---------------------------------------------------------------------------

struct BatchOptions {
  std::vector<std::string> Paths;
  SeriesSettings Settings;
  int Jobs = 0;
  std::string Summary = kDefaultSummary;
  bool Force = false;
  bool Recursive = false;
  int Bootstrap = 0;  // replicas of a bootstrap of every finished series; 0: none
};

// The checks of the summary's name and folder; --jobs defaults to the number of processors.
void CheckBatchOptions(BatchOptions& o) {
  const std::string ext = Lower(fs::path(o.Summary).extension().string());
  if (ext != ".csv" && ext != ".json") throw UsageError("the summary must be a .csv or .json file: " + o.Summary);
  const fs::path folder = fs::absolute(o.Summary).parent_path();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw UsageError("the folder of the summary does not exist: " + folder.string());
  if (o.Jobs == 0) o.Jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

int RunBatch(BatchOptions& o) {
  CheckBatchOptions(o);
  const CancelFlag stop = InstallStopSignals();

  std::vector<Series> series = CollectSeries(o.Paths, o.Recursive);
  if (series.empty()) throw UsageError("no data column (.txt) or input file (.inp) found");
  std::vector<std::string> seriesFiles;
  for (const auto& s : series)
    for (auto& f : SeriesFiles(s.File)) seriesFiles.push_back(std::move(f));
  CheckOutputPath(o.Summary, seriesFiles, {}, "the summary");
  int runs = 0;
  for (auto& s : series) {
    s.UpToDate = !o.Force && IsUpToDate(s);
    runs += !s.UpToDate;
  }

  // Several series side by side each fit on one thread; a single one uses
  // every processor. The results are the same either way.
  const int workers = std::min<int>(o.Jobs, static_cast<int>(series.size()));
  PipelineOptions pipeline;
  pipeline.Cancel = stop;
  SeriesSettings settings = o.Settings;
  // A series that another run has is left for a later call of the same command.
  settings.WaitForLock = false;
  pipeline.FitThreads = std::min(o.Jobs, runs) > 1 ? 1 : 0;

  std::vector<std::optional<Row>> rows(series.size());
  Tally tally;
  tally.Total = static_cast<int>(series.size());
  ProgressLine progress(tally.Total, runs, ::isatty(STDERR_FILENO) == 1);
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<std::size_t> next{0};
  int running = workers;

  auto worker = [&] {
    for (std::size_t i = next++; i < series.size() && !IsCancelled(stop); i = next++) {
      const Series& s = series[i];
      std::optional<Row> row;
      try {
        row = s.UpToDate ? UpToDateRow(s) : RunRow(s, settings, pipeline);
      } catch (const std::exception& e) {
        row = Row(s.File, Status::Failed, e.what());
      } catch (...) {
        row = Row(s.File, Status::Failed, "The series could not be analysed.");
      }
      if (row && o.Bootstrap > 0 && row->State != Status::Failed &&
          !AddBootstrap(*row, s.Output, o.Bootstrap, workers > 1 ? 1 : o.Jobs, stop))
        row.reset();
      if (!row) continue;
      std::lock_guard lock(mutex);
      tally.Add(row->State);
      progress.Finished(*row, tally, !s.UpToDate);
      rows[i] = std::move(row);
    }
    std::lock_guard lock(mutex);
    --running;
    changed.notify_all();
  };
  // Fewer workers where the system lets fewer threads start (a process
  // limit); none at all means this thread does the work.
  std::vector<std::thread> pool;
  for (int t = 0; t < workers; ++t) {
    try {
      pool.emplace_back(worker);
    } catch (const std::system_error&) {
      std::lock_guard lock(mutex);
      running -= workers - t;
      break;
    }
  }
  if (pool.empty()) {
    {
      std::lock_guard lock(mutex);
      ++running;
    }
    worker();
  }
  {
    // The terminal line also moves while no series finishes.
    std::unique_lock lock(mutex);
    progress.Draw(tally);
    while (running > 0)
      if (!changed.wait_for(lock, std::chrono::seconds(1), [&] { return running == 0; })) progress.Draw(tally);
    progress.Draw(tally);
  }
  for (auto& t : pool) t.join();
  progress.End();

  std::vector<Row> finished;
  for (auto& r : rows)
    if (r) finished.push_back(std::move(*r));
  const bool stopped = IsCancelled(stop);
  WriteFileAtomically(o.Summary, [&](std::ostream& out) {
    if (Lower(fs::path(o.Summary).extension().string()) == ".json")
      WriteSummaryJson(out, finished, tally, stopped, o.Bootstrap > 0);
    else
      WriteCsv(out, finished, o.Bootstrap > 0);
  });

  if (stopped) {
    std::cerr << " The batch was stopped: " << tally.Finished() << " of " << tally.Total
              << " series finished, the others left nothing behind. The same command goes on with them.\n";
  }
  std::cout << tally.Total << " series: " << tally.Done << " done, " << tally.UpToDate << " up to date, "
            << tally.Failed << " failed";
  if (tally.Busy > 0) std::cout << ", " << tally.Busy << " busy";
  if (stopped) std::cout << ", " << tally.Total - tally.Finished() << " not run";
  std::cout << "; summary in " << o.Summary << "\n";
  if (stopped) return StoppedExitStatus();
  return tally.Failed + tally.Busy > 0 ? kExitRefused : kExitOk;
}

}  // namespace

CommandRun DefineBatch(CLI::App& app) {
  auto o = std::make_shared<BatchOptions>();
  app.add_option("PATH", o->Paths, "data columns (.txt), input files (.inp) and folders of them")->required();
  AddCountOption(app, "--jobs", o->Jobs, "series run side by side (default: the number of processors)");
  app.add_flag("--composite", o->Settings.Composite, "allow composite distributions");
  AddPreferOption(app, o->Settings.Prefer);
  AddClassesOption(app, o->Settings.Classes);
  app.add_option("--summary", o->Summary, "the summary, CSV or JSON by its extension (default: " +
                                              std::string(kDefaultSummary) + ")")
      ->type_name("FILE.csv|FILE.json");
  app.add_flag("--force", o->Force, "run every series again, also those whose results are up to date");
  app.add_flag("--recursive", o->Recursive, "take the files of subfolders too");
  AddCountOption(app, "--bootstrap", o->Bootstrap, "a bootstrap of B replicas of every finished series")
      ->type_name("B");
  return [o] { return RunBatch(*o); };
}

}  // namespace tavorix::cli
