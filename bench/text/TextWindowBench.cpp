// The text window on a file of one unbroken line (numbers another program
// wrote without a line end or a blank) against the same text in lines of
// 80 columns: opening it as the program does (loaded, then shown), typing
// one character at its end and saving. The argument is the file's size in
// bytes. Also a megabyte of one line of long words between blanks against
// the same words one to a line; the argument is the words' length.
//
// Typing: ten keys at the middle of an opened and shown file, each
// handled and painted before the next, in a megabyte of one line against
// the same text in lines. The argument is the text: 0 the numbers (one
// word), 1 sentences, 2 words of 300 characters; in lines of 80 columns,
// the long words one to a line. The numbers also without word wrap.
//
// Runs offscreen.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTextEdit>

#include <memory>
#include <stdexcept>
#include <string>

#include "DesktopTestSupport.h"
#include "RES_ShowFile.h"
#include "Scripted.h"

namespace {

// Text of the given size: numbers separated by commas, with no place to
// break a line within it, in one line or in lines of 80 columns.
std::string Text(std::size_t bytes, bool lines) {
    static const char* numbers[] = {"1.0000E+13", "0.0", "4.8000E+04", "2.5E-03", "300.15", "-1.2345E-07", "7"};
    std::string text;
    std::size_t column = 0;
    for (std::size_t n = 0; text.size() < bytes; ++n) {
        const std::string number = std::string(n > 0 ? "," : "") + numbers[n % 7];
        if (lines && column + number.size() > 80) {
            text += "\r\n";
            column = 0;
        }
        text += number;
        column += number.size();
    }
    return text;
}

struct Program {
    std::unique_ptr<kx::test::ProgramFolder> folder = std::make_unique<kx::test::ProgramFolder>();
    // Any message would mean the measurement went wrong.
    kx::platform::testing::ScriptedMessages messages{[](const QString& what) { throw std::runtime_error(what.toStdString()); }};
};

Program& TheProgram() {
    static Program program;
    return program;
}

// A megabyte of words of the given length between blanks, in one line or
// one word to a line.
std::string Words(std::size_t length, bool lines) {
    const std::string word(length, '7');
    std::string text;
    while (text.size() < 1'000'000) text += word + (lines ? "\r\n" : " ");
    return text;
}

// Text of the given size: sentences, in one line or in lines of 80 columns.
std::string Sentences(std::size_t bytes, bool lines) {
    static const char* words[] = {"The", "rate", "of", "reaction", "R12", "rises", "with", "temperature,", "as",
                                  "the", "fitted", "parameters", "say", "(A", "=", "1.0E+13,", "n", "=", "0.5)."};
    std::string text;
    std::size_t column = 0;
    for (std::size_t n = 0; text.size() < bytes; ++n) {
        const std::string word = words[n % std::size(words)];
        if (lines && column > 0 && column + 1 + word.size() > 80) {
            text += "\r\n";
            column = 0;
        } else if (n > 0) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text;
}

// A megabyte of the typing benchmark's texts.
std::string TypingText(std::int64_t kind, bool lines) {
    if (kind == 0) return Text(1'000'000, lines);
    if (kind == 1) return Sentences(1'000'000, lines);
    return Words(300, lines);
}

// Opens the file as the program does: loaded first, then shown.
kx::text::RES_ShowFile* OpenAndShow(const std::string& path) {
    auto* w = new kx::text::RES_ShowFile;
    bool failed = false;
    w->OPEN_Rich(path, failed);
    if (failed) throw std::runtime_error("the file did not open");
    w->resize(1000, 700);
    w->show();
    QApplication::processEvents();
    return w;
}

void OpenEditAndSave(benchmark::State& state, const std::string& name, const std::string& text) {
    Program& program = TheProgram();
    const std::string path = program.folder->dir.write(name, text);
    for (auto _ : state) {
        kx::text::RES_ShowFile* w = OpenAndShow(path);
        w->RichTextBox1()->moveCursor(QTextCursor::End);
        w->RichTextBox1()->insertPlainText("x");
        QApplication::processEvents();
        bool cancelled = false;
        w->SVTXT(cancelled);
        if (cancelled || w->Modified()) throw std::runtime_error("the file was not saved");
        state.PauseTiming();
        kx::test::DeleteAllWindows();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_OneLine(benchmark::State& state) {
    OpenEditAndSave(state, "one-line.txt", Text(static_cast<std::size_t>(state.range(0)), false));
}
void BM_Lines80(benchmark::State& state) {
    OpenEditAndSave(state, "lines.txt", Text(static_cast<std::size_t>(state.range(0)), true));
}
void BM_OneLineOfLongWords(benchmark::State& state) {
    OpenEditAndSave(state, "long-words.txt", Words(static_cast<std::size_t>(state.range(0)), false));
}
void BM_LongWordLines(benchmark::State& state) {
    OpenEditAndSave(state, "word-lines.txt", Words(static_cast<std::size_t>(state.range(0)), true));
}

// Opens the file and types keys at its middle, with word wrap on or off.
void TypeKeys(benchmark::State& state, const std::string& name, const std::string& text, bool wrap = true) {
    Program& program = TheProgram();
    kx::text::RES_ShowFile* w = OpenAndShow(program.folder->dir.write(name, text));
    if (!wrap) w->findChild<QAction*>("TXTWORDWRAP")->trigger();
    QTextEdit* box = w->RichTextBox1();
    QTextCursor middle = box->textCursor();
    middle.setPosition(box->document()->characterCount() / 2);
    box->setTextCursor(middle);
    box->setFocus();
    QApplication::processEvents();
    int typed = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10; ++i) {
            const QString key(QChar('a' + typed++ % 26));
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, key);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, key);
            QApplication::sendEvent(box, &press);
            QApplication::sendEvent(box, &release);
            QApplication::processEvents();
        }
    }
    if (!w->Modified()) throw std::runtime_error("the keys did not reach the text");
    kx::test::DeleteAllWindows();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * 10));
}

void BM_TypeInOneLine(benchmark::State& state) {
    TypeKeys(state, "type-one-line.txt", TypingText(state.range(0), false));
}
void BM_TypeInLines(benchmark::State& state) { TypeKeys(state, "type-lines.txt", TypingText(state.range(0), true)); }
void BM_TypeUnwrappedInOneLine(benchmark::State& state) {
    TypeKeys(state, "type-one-line.txt", TypingText(state.range(0), false), false);
}
void BM_TypeUnwrappedInLines(benchmark::State& state) {
    TypeKeys(state, "type-lines.txt", TypingText(state.range(0), true), false);
}

BENCHMARK(BM_OneLine)->Arg(200'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Lines80)->Arg(200'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OneLineOfLongWords)->Arg(200)->Arg(300)->Arg(4'999)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LongWordLines)->Arg(200)->Arg(300)->Arg(4'999)->Unit(benchmark::kMillisecond)->Iterations(3);
// Ten keys per iteration.
BENCHMARK(BM_TypeInOneLine)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypeInLines)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypeUnwrappedInOneLine)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypeUnwrappedInLines)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
