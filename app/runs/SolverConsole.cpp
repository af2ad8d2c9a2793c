#include "SolverConsole.h"

#include "Desktop.h"
#include "Modal.h"
#include "Service.h"
#include "WindowHelpers.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kx::runs {
namespace {

constexpr int kStartWaitMs = 10000;
// How long a solver asked to stop may take to end (it stops at its next
// evaluation of the right-hand side) before it is ended at once.
constexpr int kStopAskWaitMs = 5000;
constexpr int kStopWaitMs = 5000;

class ConsoleRunner : public SolverRunner {
public:
    SolverEnd Run(const SolverLaunch& launch) override {
        SolverConsole console(launch, shell::MainWindow());
        return console.Run();
    }
};

ConsoleRunner consoleRunner;
platform::ServiceSlot<SolverRunner> runners(consoleRunner);

}  // namespace

SolverProcess::SolverProcess(QObject* parent) : QObject(parent) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    connect(&process_, &QProcess::readyReadStandardOutput, this, [this] { readOutput(); });
    connect(&process_, &QProcess::readyReadStandardError, this, [this] { readErrors(); });
    connect(&process_, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        readOutput();
        readErrors();
        end_.exitCode = exitCode;
        end_.crashed = status == QProcess::CrashExit;
        if (end_.crashed) leftovers_.RemoveAbandoned();
        ended_ = true;
        emit Finished();
    });
}

SolverProcess::~SolverProcess() { Stop(); }

bool SolverProcess::Start(const SolverLaunch& launch) {
    end_ = SolverEnd{};
    ended_ = false;
    output_.resetState();
    errors_.resetState();
    leftovers_ = launch.solverFile.empty() ? RunLeftovers() : RunLeftovers(launch.solverFile);
    leftovers_.RemoveAbandoned();  // what runs that were ended at once left
    process_.setProgram(launch.program);
    process_.setArguments({});
    process_.setWorkingDirectory(launch.folder);
    process_.start(QIODevice::ReadOnly);
    if (process_.waitForStarted(kStartWaitMs)) {
        end_.started = true;
        return true;
    }
    end_.programMissing = !QFileInfo(launch.program).isFile();
    end_.failure = process_.errorString();
    ended_ = true;
    return false;
}

bool SolverProcess::Running() const { return process_.state() != QProcess::NotRunning; }

void SolverProcess::Stop() {
    if (!Running()) return;
    process_.terminate();
    if (!process_.waitForFinished(kStopAskWaitMs)) {
        process_.kill();
        process_.waitForFinished(kStopWaitMs);
    }
    leftovers_.RemoveAbandoned();
}

void SolverProcess::readOutput() {
    const QByteArray bytes = process_.readAllStandardOutput();
    if (!bytes.isEmpty()) emit Output(output_.decode(bytes));
}

void SolverProcess::readErrors() {
    const QByteArray bytes = process_.readAllStandardError();
    if (bytes.isEmpty()) return;
    const QString text = errors_.decode(bytes);
    end_.errorOutput += text;
    emit Output(text);
}

SolverRunner* InstallSolverRunner(SolverRunner* runner) { return runners.Install(runner); }

SolverEnd RunSolverProgram(const SolverLaunch& launch) { return runners.Get().Run(launch); }

SolverConsole::SolverConsole(const SolverLaunch& launch, QWidget* parent) : QDialog(parent), launch_(launch) {
    setWindowTitle(launch.title);
    setObjectName("SolverConsole");
    screen_ = new QPlainTextEdit(this);
    screen_->setReadOnly(true);
    screen_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    screen_->setFont(font);
    QPalette p = screen_->palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, QColor(192, 192, 192));
    screen_->setPalette(p);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(screen_);
    const QFontMetrics metrics(font);
    resize(metrics.horizontalAdvance(QString(82, 'M')), metrics.lineSpacing() * 26);
    for (const QString& line : launch.banner) append(line + "\n");
    connect(&process_, &SolverProcess::Output, this, [this](const QString& text) { append(text); });
    connect(&process_, &SolverProcess::Finished, this, [this] { solverEnded(); });
}

SolverEnd SolverConsole::Run() {
    if (!process_.Start(launch_)) {
        if (!launch_.keepOpen) return process_.End();
        append("The solver could not be started: " + process_.End().failure + "\n");
        platform::SetMousePointer(platform::kPointerDefault);
    }
    platform::ShowModal(*this);
    process_.Stop();
    return process_.End();
}

QString SolverConsole::Text() const { return screen_->toPlainText(); }

void SolverConsole::done(int result) {
    closing_ = true;
    process_.Stop();
    QDialog::done(result);
}

// Escape must not end a run by accident: the console closes by its close box.
void SolverConsole::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SolverConsole::append(const QString& text) {
    QString plain = text;
    plain.remove('\r');
    screen_->moveCursor(QTextCursor::End);
    screen_->insertPlainText(plain);
    screen_->moveCursor(QTextCursor::End);
}

void SolverConsole::solverEnded() {
    if (closing_) return;
    if (!launch_.keepOpen) {
        accept();
        return;
    }
    // The program now only waits for the user to close the console.
    platform::SetMousePointer(platform::kPointerDefault);
}

}  // namespace kx::runs
