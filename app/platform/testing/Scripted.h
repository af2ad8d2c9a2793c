// Test doubles for the modal services: a test queues the answers before it
// acts and reads afterwards what was shown. Each double installs itself
// when made and puts the previous service back when it goes.
//
// A question or dialog that comes without a queued answer, an answer of the
// wrong kind, or answers left unused when the double goes, fail the test
// (through QTest by default, or through the reporter given) and never wait.
#pragma once

#include "Dialogs.h"
#include "MessageBox.h"
#include "Modal.h"
#include "Report.h"
#include "Service.h"

#include <QPageLayout>
#include <QRect>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

class QDialog;

namespace kx::platform::testing {

using FailureReporter = std::function<void(const QString& what)>;

// Fails the current Qt test function with the text.
void FailQtTest(const QString& what);

class ScriptedMessages : public MessageService {
public:
    struct Shown {
        QString text;
        int style;
        QString title;
        QString okCaption;  // "" : "OK"
    };

    explicit ScriptedMessages(FailureReporter fail = FailQtTest);
    ~ScriptedMessages() override;

    // The answer (kAnswerYes, kAnswerNo, kAnswerOk or kAnswerCancel) to the
    // next question: a box with Yes and No, Yes, No and Cancel, or OK and
    // Cancel. Boxes with only an OK button need no answer.
    void Answer(int answer) { answers_.push_back(answer); }
    const std::vector<Shown>& shown() const { return shown_; }
    // The text of the last box shown ("" when none).
    QString lastText() const { return shown_.empty() ? QString() : shown_.back().text; }

    int Show(const QString& text, int style, const QString& title, const QString& okCaption) override;

private:
    FailureReporter fail_;
    std::deque<int> answers_;
    std::vector<Shown> shown_;
    Installation<MessageService, &InstallMessageService> installed_{this};
};

class ScriptedDialogs : public DialogService {
public:
    enum class Kind { Open, Save, Colour, Font };
    struct Request {
        Kind kind;
        FileRequest file;           // Open and Save
        std::optional<Bgr> colour;  // Colour: the colour it starts on
        FontRequest font;           // Font
    };

    explicit ScriptedDialogs(FailureReporter fail = FailQtTest);
    ~ScriptedDialogs() override;

    void ChooseOpen(const QString& path) { queue(Kind::Open, path); }
    void ChooseSave(const QString& path) { queue(Kind::Save, path); }
    void ChooseColour(Bgr colour) { queue(Kind::Colour, colour); }
    void ChooseFont(const FontChoice& font) { queue(Kind::Font, font); }
    void Cancel(Kind kind) { queue(kind, std::monostate{}); }

    const std::vector<Request>& requests() const { return requests_; }

    std::optional<QString> OpenFile(const FileRequest& request) override;
    std::optional<QString> SaveFile(const FileRequest& request) override;
    std::optional<Bgr> Colour(std::optional<Bgr> initial) override;
    std::optional<FontChoice> Font(const FontRequest& request) override;

private:
    using Choice = std::variant<std::monostate, QString, Bgr, FontChoice>;
    void queue(Kind kind, Choice choice) { answers_.push_back({kind, std::move(choice)}); }
    // Records the request and answers it with the queued choice; nothing
    // for a cancel or a missing or mismatched answer (the last two fail the
    // test).
    template <class T>
    std::optional<T> answer(Request request);

    FailureReporter fail_;
    std::deque<std::pair<Kind, Choice>> answers_;
    std::vector<Request> requests_;
    Installation<DialogService, &InstallDialogService> installed_{this};
};

class ScriptedModals : public ModalService {
public:
    using Action = std::function<void(QDialog&)>;

    explicit ScriptedModals(FailureReporter fail = FailQtTest);
    ~ScriptedModals() override;

    // What the user does in the next modal window: the action fills fields
    // and ends it with accept(), reject() or done(). A window the action
    // leaves open is rejected.
    void Next(Action action) { actions_.push_back(std::move(action)); }
    // Window titles of the modal windows shown, in order.
    const std::vector<QString>& shown() const { return shown_; }

    int Run(QDialog& dialog) override;

private:
    FailureReporter fail_;
    std::deque<Action> actions_;
    std::vector<QString> shown_;
    Installation<ModalService, &InstallModalService> installed_{this};
};

// Reports are printed into PDF files in a folder ("report-1.pdf",
// "report-2.pdf", ...) through PrintReport, as the preview's Print does,
// instead of showing a preview window; what was shown is recorded.
class ScriptedPrinting : public PrintService {
public:
    struct Shown {
        QString name;          // the report's layout name
        QString caption;       // its preview window's title
        QString pdf;           // the file its pages went to
        int pages = 0;         // the pages printed, copies included
        bool printed = false;  // the pages reached their file (a preview would close)
        int paperTaken = 0;    // paper code the printer took
        QPageLayout layout;    // the page layout the report asked for
        QRect previewGeometry; // where the preview window was to show
        std::optional<QRect> picture;  // the detail picture's place (twips)
    };

    explicit ScriptedPrinting(QString folder);
    ~ScriptedPrinting() override;

    // The printer keeps this paper (a paper code) whatever a report asks
    // for; 0, the start, takes any paper.
    void KeepPaper(int paper) { keptPaper_ = paper; }
    // The next report prints into this file, as chosen in a print dialog.
    void ChooseFile(QString path) { chosenFile_ = std::move(path); }
    // Before the next report prints, the user changes the printer as the
    // preview's buttons and page set-up or the print dialog do (its page,
    // the range of pages, copies, order, colour mode); the preview has
    // shown the pages (Report::Paint) first.
    void BeforePrint(std::function<void(QPrinter&)> change) { beforePrint_ = std::move(change); }
    const std::vector<Shown>& shown() const { return shown_; }

    std::unique_ptr<QPrinter> Printer(const QPageLayout& wanted) override;
    void Preview(Report& report, QPrinter& printer) override;

private:
    QString folder_;
    int keptPaper_ = 0;
    QString chosenFile_;
    std::function<void(QPrinter&)> beforePrint_;
    std::vector<Shown> shown_;
    std::vector<QPageLayout> asked_;
    Installation<PrintService, &InstallPrintService> installed_{this};
};

}  // namespace kx::platform::testing
