// The main window and the text windows with the program's options, for the
// tests of tool windows opened from a solver file's text window (reduction,
// comparison): copies of runs made once for a test class land in the test's
// own folder, and a tool window opens from the file's menu.
#pragma once

#include "FormRegistry.h"
#include "OpenFiles.h"
#include "Options.h"
#include "TextWindowsBed.h"

#include <QAction>
#include <QTest>

#include <filesystem>
#include <string>

namespace kx::test {

class ToolWindowsBed : public TextWindowsBed {
public:
    // The constants and the options shipped with the program.
    explicit ToolWindowsBed(const std::string& shippedOptions) {
        LoadConstants(Shared(), kPaperLetter);
        std::filesystem::copy_file(shippedOptions, folder.options());
        OptionOpen(Shared(), folder.path(), optionsFailed);
    }

    // A copy of the file under the name in the test's folder.
    std::string CopyIn(const std::string& file, const std::string& name) const {
        const std::string path = folder.dir.file(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::filesystem::copy_file(file, path, std::filesystem::copy_options::overwrite_existing);
        return path;
    }

    // Opens the solver file in a text window and triggers its menu entry;
    // the tool window of the type, shown, or nullptr.
    template <class Window>
    Window* OpenFromMenu(const std::string& path, const char* menuEntry, const char* type) {
        shell::OpenFileByType(path);
        platform::Form* text = platform::FindFormByMePath(path);
        if (!text) return nullptr;
        auto* entry = text->Widget()->findChild<QAction*>(menuEntry);
        if (!entry) return nullptr;
        entry->trigger();
        auto* w = dynamic_cast<Window*>(platform::FindForm(type));
        if (w) {
            w->show();
            if (!QTest::qWaitForWindowExposed(w)) return nullptr;
        }
        return w;
    }

    bool optionsFailed = true;
};

}  // namespace kx::test
