// Windows and services of other parts of the program that the shell (and
// any window) reaches by name, without linking them.
//
// Each window type that others create is installed at start-up with a
// creator (main.cpp installs the program's; a test installs its stubs).
// LoadForm creates a new window of a type; the caller then calls its
// methods through capability interfaces (Capabilities.h) and shows it.
// Module services of later parts that the shell calls are hooks installed
// the same way. A type or service with nothing installed raises
// ComponentMissing into the caller's error trap.
#pragma once

#include "Forms.h"

#include <QString>

#include <functional>
#include <string>

namespace kx::shell {

// The window types that are created by name.
inline constexpr const char* kTextWindow = "RES_ShowFile";
inline constexpr const char* kChartWindow = "PLOT";
inline constexpr const char* kResultsWindow = "MenuForm";
inline constexpr const char* kRunSettingsWindow = "SOL_RUN";
inline constexpr const char* kFindWindow = "RES_FIND";
inline constexpr const char* kTextPageSetup = "RES_PAGESETUP";
inline constexpr const char* kChartPageSetup = "PgSetupMod";
inline constexpr const char* kReductionWindow = "RED_Gen";
inline constexpr const char* kComparisonWindow = "Comparison";

// Builds a new window (its load runs in the constructor) and returns it
// hidden. A creator may return nullptr only after it has reported why.
using FormCreator = std::function<platform::Form*()>;

// Installs the creator of a window type (an empty one removes it) and
// returns the one it replaces.
FormCreator InstallFormCreator(const QString& typeName, FormCreator creator);

// Loads a new window of the type. A window that is no dialog becomes a
// document window in the main window's document area when there is one;
// a dialog is owned by the main window. It stays hidden until shown.
// Raises ComponentMissing (with the type name) when no creator is
// installed, ObjectNotSet when the creator made no window.
platform::Form* LoadForm(const QString& typeName);

// Takes the loaded window of the type (or loads one), which must be a
// dialog, shows it modally owned by the main window and unloads it once
// the user is done with it. Errors reach the caller.
void ShowModalForm(const QString& typeName);

// Puts a new window where LoadForm puts it (for the shell's own windows).
void PlaceForm(platform::Form* form);

// Showing and hiding a window, and its window state, on its frame in the
// document area or on the window itself. FormVisible is the window's own
// setting, whether or not the main window is shown.
void SetFormVisible(platform::Form* form, bool visible);
inline void ShowForm(platform::Form* form) { SetFormVisible(form, true); }
bool FormVisible(const platform::Form* form);
bool FormMinimized(const platform::Form* form);
bool FormMaximized(const platform::Form* form);
void SetFormNormal(platform::Form* form);

// Installs a creator for its own lifetime and puts the previous one back.
class FormCreatorInstallation {
public:
    FormCreatorInstallation(QString typeName, FormCreator creator);
    ~FormCreatorInstallation();
    FormCreatorInstallation(const FormCreatorInstallation&) = delete;
    FormCreatorInstallation& operator=(const FormCreatorInstallation&) = delete;

private:
    QString typeName_;
    FormCreator previous_;
};

// The text subsystem's ShowFileInResultWindow: shows a solver file in a
// read-only text window (an empty path first asks for one).
using ShowFileHook = std::function<void(const std::string& path)>;
ShowFileHook InstallShowFileInResultWindow(ShowFileHook hook);
void ShowFileInResultWindow(const std::string& path);

}  // namespace kx::shell
