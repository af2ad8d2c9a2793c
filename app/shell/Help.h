// Help: the built-in "Number Format" help window Help1, which the start-up
// shows when the number format does not suit (closing it ends the
// program), and the user guide "Kinovex Help", an HTML file shown in a
// help viewer of its own.
#pragma once

#include "Capabilities.h"
#include "Forms.h"

#include <QMainWindow>

#include <cstdint>
#include <string>

class QAction;
class QTextEdit;

namespace kx::shell {

inline constexpr const char* kHelpViewerTitle = "Kinovex Help";
// The user guide, in the auxiliary folder.
inline constexpr const char* kHelpFile = "HelpFiles/KinovexHelp.html";

class Help1 : public platform::FormWindow<QMainWindow>, public platform::HasPageSetup {
public:
    Help1();

    // Builds the "Number Format" text.
    void HelpTxt();
    // Puts the text into the box at the medium size.
    void OPENHELP();
    // Renders the whole text at the size (points) and checks its menu item.
    void FntSize(std::int32_t sIZEn);

    // The page set-up of the help text is fixed: "Help", 1, 1.
    void Get_Page_SetUp(std::string& Heder, std::int32_t& SetN, std::int32_t& FirstN) override;
    void Set_Page_SetUp(const std::string& Heder, std::int32_t SetN, std::int32_t FirstN) override;

    const std::string& NumberFormatHelpText() const { return numberFormatHelpText_; }
    QTextEdit* RichTextBox1() const { return richTextBox1_; }

    bool QueryUnload() override;

private:
    QTextEdit* richTextBox1_ = nullptr;
    QAction* fontLarge_ = nullptr;
    QAction* fontMedium_ = nullptr;
    QAction* fontSmall_ = nullptr;
    std::string numberFormatHelpText_;
};

// Closes an open user-guide viewer, then opens the user guide again,
// maximised. A missing help file opens nothing and shows nothing.
void ShowHelp();
// Closes the user-guide viewer when one is open.
void CloseHelpWindow();

}  // namespace kx::shell
