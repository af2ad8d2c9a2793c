#include "CommonDialogs.h"

#include "Files.h"
#include "Messages.h"
#include "Text.h"
#include "TextHelpers.h"

namespace kx::shell {
namespace {

bool showFileDialog(bool save, std::string& path, std::int32_t filterIndex, const std::string& filter) {
    platform::CommonDialog& d = CommonDialog1();
    d.Filter = platform::ToQ(filter);
    d.FilterIndex = filterIndex;
    if (!(save ? d.ShowSave() : d.ShowOpen())) return false;
    path = platform::FromQ(d.FileName);
    return true;
}

}  // namespace

platform::CommonDialog& CommonDialog1() {
    static platform::CommonDialog dialog;
    return dialog;
}

void ShowOpenDialogFiltered(std::string& path, std::int32_t filterIndex, const std::string& initialName,
                            bool& cancelled, const std::string& filter) {
    CommonDialog1().FileName = platform::ToQ(initialName);
    CommonDialog1().ConfirmOverwrite = false;
    cancelled = !showFileDialog(false, path, filterIndex, filter);
}

void ShowOpenDialog(std::string& path, std::int32_t filterIndex, const std::string& initialName, bool& cancelled) {
    ShowOpenDialogFiltered(path, filterIndex, initialName, cancelled, kOpenFilter);
}

void ShowSaveDialog(std::int32_t mode, std::string& path, std::int32_t filterIndex, bool& cancelled,
                    const std::string& filter) {
    CommonDialog1().ConfirmOverwrite = mode == 1;
    for (;;) {
        std::string chosen;
        cancelled = !showFileDialog(true, chosen, filterIndex, filter);
        if (cancelled) return;
        // Blanks that end a typed name are no part of it. The dialog asked
        // about the name with them; the file without them is asked about here.
        const std::string named(TrimBlanks(chosen));
        CommonDialog1().FileName = platform::ToQ(named);
        if (mode == 1 && named != chosen && files::Exists(named) && !AskReplaceFile(named, "Replace it?")) continue;
        path = named;
        return;
    }
}

void ShowColorDialog(Colour& colour, int& red, int& green, int& blue, bool& cancelled, std::optional<Colour> initial) {
    platform::CommonDialog& d = CommonDialog1();
    if (initial) d.Color = *initial;
    d.StartOnColor = true;
    cancelled = !d.ShowColor();
    if (cancelled) return;
    colour = d.Color;
    red = d.Color & 0xFF;
    green = (d.Color >> 8) & 0xFF;
    blue = (d.Color >> 16) & 0xFF;
}

void ShowFontDialog(std::int32_t allowSize, bool& bold, bool& italic, double& size, std::string& name, bool& failed,
                    bool startBold, bool startItalic, std::optional<double> startSize,
                    std::optional<std::string> startName) {
    platform::CommonDialog& d = CommonDialog1();
    failed = false;
    d.FontMin = allowSize == 0 ? 10 : 6;
    d.FontMax = allowSize == 0 ? 10 : 72;
    if (startName && !startName->empty()) d.Font.name = platform::ToQ(*startName);
    if (startSize) d.Font.size = *startSize;
    d.Font.bold = startBold;
    d.Font.italic = startItalic;
    if (!d.ShowFont()) {
        failed = true;
        return;
    }
    name = platform::FromQ(d.Font.name);
    size = d.Font.size;
    bold = d.Font.bold;
    italic = d.Font.italic;
}

}  // namespace kx::shell
