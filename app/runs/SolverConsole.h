// Running the console solver: the process itself and the console window in
// which the user watches it.
//
// The solver is started directly (no shell) from its absolute path, without
// arguments, in the folder the launch names (the program's working folder).
// The console window carries the program's and the solver file's names in
// its title, shows the banner lines the command would echo and then the
// solver's output as it comes, and is shown modally for the whole program
// while the solver runs; closing it stops the solver. Unless it is to stay open, it closes itself when the
// solver ends.
//
// A solver is stopped as a user stops a console program: asked first
// (SIGTERM), upon which it removes what it was writing and ends; ended at
// once when it has not ended a few seconds later. Whatever a stopped or
// crashed solver leaves beside the solver file is removed after it, and
// what earlier runs that were ended at once left is removed before a run.
//
// Who runs it is a replaceable service: the console window by default; a
// test installs a runner that waits for the process without a window.
#pragma once

#include "RunLeftovers.h"

#include <QDialog>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <string>

class QPlainTextEdit;

namespace kx::runs {

struct SolverLaunch {
    QString program;  // absolute path of the solver program
    QString folder;   // its working folder
    QString title;    // "KINOVEX_SOLVER - " and the solver file's name
    QStringList banner;
    bool keepOpen = false;   // the console stays open after the solver has ended
    std::string solverFile;  // the solver file it runs on ("" when not known)
};

struct SolverEnd {
    bool started = false;
    bool programMissing = false;  // not started because there is no such file
    QString failure;              // why it did not start
    int exitCode = 0;
    bool crashed = false;  // ended by a signal, also when the user closed the console
    QString errorOutput;   // what the solver wrote to its error output
};

// One solver process. Its output (standard output and errors alike, UTF-8
// like the path it reports) arrives through Output as it is written; the
// errors are also kept in End().errorOutput.
class SolverProcess : public QObject {
    Q_OBJECT
public:
    explicit SolverProcess(QObject* parent = nullptr);
    ~SolverProcess() override;  // ends a solver still running

    // Starts the program and waits until it runs; false when it could not
    // be started (End() says why), after which it counts as ended.
    bool Start(const SolverLaunch& launch);
    bool Running() const;
    bool Ended() const { return ended_; }
    const SolverEnd& End() const { return end_; }
    // Stops a running solver (asked first, then ended) and waits for it.
    void Stop();

signals:
    void Output(const QString& text);
    void Finished();

private:
    void readOutput();
    void readErrors();

    QProcess process_;
    // A character may come in two reads.
    QStringDecoder output_{QStringDecoder::Utf8}, errors_{QStringDecoder::Utf8};
    SolverEnd end_;
    bool ended_ = false;
    RunLeftovers leftovers_;
};

class SolverRunner {
public:
    virtual ~SolverRunner() = default;
    // Runs the solver to its end and returns how it ended.
    virtual SolverEnd Run(const SolverLaunch& launch) = 0;
};

// Installs a runner (nullptr: the console window) and returns the one it replaces.
SolverRunner* InstallSolverRunner(SolverRunner* runner);

// Runs the solver through the installed runner.
SolverEnd RunSolverProgram(const SolverLaunch& launch);

// The console window of one run.
class SolverConsole : public QDialog {
public:
    explicit SolverConsole(const SolverLaunch& launch, QWidget* parent = nullptr);

    // Starts the solver and shows the window modally (through the platform's
    // modal service) until the solver has ended and, when the window is to
    // stay open, the user has closed it. A solver that cannot start is
    // reported in a window kept open; otherwise nothing is shown.
    SolverEnd Run();

    // The text shown so far.
    QString Text() const;
    bool SolverEnded() const { return process_.Ended(); }

    // Closing ends a solver that still runs.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void append(const QString& text);
    void solverEnded();

    SolverLaunch launch_;
    SolverProcess process_;
    QPlainTextEdit* screen_ = nullptr;
    bool closing_ = false;
};

}  // namespace kx::runs
