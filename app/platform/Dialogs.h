// The common dialogs: open, save, colour and font.
//
// CommonDialog is the one shared dialog object of the program: what a use
// leaves in it (the chosen file name, the colour, the font) is where the next
// use starts, and the caller sets InitDir, Filter and FilterIndex before
// showing it. The interaction itself goes through a replaceable
// DialogService, which tests script.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QFileDialog;

namespace kx::platform {

using Bgr = std::int32_t;  // colour value: red in the low byte, then green, then blue

QColor ToQColor(Bgr colour);

struct FileRequest {
    QString filter;          // "Text (*.txt)|*.txt|All Files (*.*)|*.*"
    int filterIndex = 1;     // 1 for the first pair
    QString initDir;         // folder to start in when fileName holds no folder
    QString fileName;        // initial name, or a full path from an earlier use
    bool confirmOverwrite = false;  // save: ask before replacing an existing file
};

struct FontChoice {
    QString name;
    double size = 0;
    bool bold = false;
    bool italic = false;
};

struct FontRequest {
    FontChoice initial;       // initial.name empty: the dialog's own choice
    double minSize = 0;       // sizes outside [minSize, maxSize] are brought inside
    double maxSize = 0;       // 0: no limit
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Each returns nothing when the user cancels.
    virtual std::optional<QString> OpenFile(const FileRequest& request) = 0;
    virtual std::optional<QString> SaveFile(const FileRequest& request) = 0;
    virtual std::optional<Bgr> Colour(std::optional<Bgr> initial) = 0;
    virtual std::optional<FontChoice> Font(const FontRequest& request) = 0;
};

// Installs a service (nullptr: the real one) and returns the one it replaces.
DialogService* InstallDialogService(DialogService* service);
DialogService& Dialogs();

// Gives a file dialog of Qt's own room for its columns: a size that shows
// names, sizes, types and dates whole (within the screen), the name column
// taking what is left.
void FitFileDialog(QFileDialog& dialog);

// The filter pairs "description|pattern|..." as Qt name filters; "*.*"
// (every file) becomes "*".
QStringList NameFilters(const QString& filter);

class CommonDialog {
public:
    QString FileName;
    QString InitDir;
    QString Filter;
    int FilterIndex = 1;
    bool ConfirmOverwrite = false;
    Bgr Color = 0;
    bool StartOnColor = false;  // start the colour dialog on Color
    FontChoice Font;
    double FontMin = 0;
    double FontMax = 0;

    // Each returns false when the user cancelled (nothing changes then);
    // otherwise the choice is stored in FileName, Color or Font.
    bool ShowOpen();
    bool ShowSave();
    bool ShowColor();
    bool ShowFont();

private:
    FileRequest fileRequest() const;
};

}  // namespace kx::platform
