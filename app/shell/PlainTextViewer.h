// PlainTextViewer: a minimal read-only text window that stands in for the
// program's text window until that one is installed. It shows one file as
// plain text (a solver file tinted, as in the read-only solver-file mode),
// and offers no editing, saving or printing.
#pragma once

#include "Capabilities.h"
#include "Forms.h"

#include <QMainWindow>

#include <string>

class QPlainTextEdit;

namespace kx::shell {

class PlainTextViewer : public platform::FormWindow<QMainWindow>,
                        public platform::TextFileLoader,
                        public platform::HasMePath,
                        public platform::HasToolbar {
public:
    PlainTextViewer();

    void OPEN_Rich(const std::string& FilePa, bool& ErrBool) override;
    void IsSolferFile(bool BBOOLL) override;
    std::string MePath() const override { return mePath_; }
    void ToolBr() override;

    bool SolverFileMode() const { return solverFileMode_; }
    QPlainTextEdit* Box() const { return box_; }

private:
    QPlainTextEdit* box_ = nullptr;
    std::string mePath_;
    bool solverFileMode_ = false;
};

// Registers the viewer as the text window "RES_ShowFile", and as
// ShowFileInResultWindow a service that shows a solver file read-only in
// it (an empty path first asks for the file; a file already shown is
// brought forward with a note).
void InstallPlainTextViewer();

}  // namespace kx::shell
