// MenuForm: the results window of one solver file with results.
//
// Six pages: "General" (the time interval, the points used, the time axis,
// the file), "Average Parameters" (temperature, concentration, density,
// molecular weight, enthalpy and heat capacity of the mixture), "Species"
// (every species with its initial mole fraction), "Derivatives" (the
// reactions that make and destroy a species over the interval, with their
// contributions, their sum and their histogram), "Reactions" (the reactions
// of a species and their rates) and "Tips". A double click on a row header
// draws the row's quantity against time on the Temporary Chart; with Ctrl
// held the curve is added to the open chart, with Shift or Alt held nothing
// is drawn.
//
// The numbers come from the results core (ResultsReader, Quantities,
// RateCurves, ReactionLists); this window reads its boxes, calls the core
// and hands curves to the chart through ResultsChart.h.
//
// OpenResultsWindow creates it through the shell ("MenuForm"); a load that
// fails sets MenuFormLoadFailed and the opener unloads the window.
#pragma once

#include "Capabilities.h"
#include "Forms.h"
#include "GeneralPage.h"
#include "Quantities.h"
#include "ReactionLists.h"
#include "ResultsReader.h"
#include "Timer.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace kx::platform {
class Grid;
}

namespace kx::results {

class MenuForm : public platform::FormWindow<QMainWindow>,
                 public platform::HasSolverFilePath,
                 public platform::HasActivation,
                 public platform::HasToolbar {
public:
    MenuForm();
    ~MenuForm() override;

    // ---- The window's interface --------------------------------------------
    std::string SolverFilePath() const override { return solverFile_; }
    void Form_Activate() override;
    void Form_Deactivate() override {}
    // The main window's text and chart toolbars have nothing for this
    // window: both are hidden while it is active.
    void ToolBr() override;
    bool QueryUnload() override;

    // Brings page NTab (0..5) forward.
    void ShowTab(int NTab);
    // Checks the "General" page when it is the page shown (or being left);
    // ErrBb comes back true after a refusal, which has been shown.
    void TabGetF(bool& ErrBb);
    // Marks the point count as out of date (light blue, count emptied) or
    // current (black, count shown).
    void BackCol(bool stale);
    bool CountStale() const { return countStale_; }
    // Column widths and the reaction page's copy of the derivative page.
    void ResizeSet();
    // Copies the position and size of one control to another.
    static void SetObj(QWidget* Obj1, const QWidget* Obj2);

    // Interval and plot settings of the General page into the reader, then
    // the used rows ("Sol#122. "); addFlag adds the next curve to the chart.
    // False when the settings were refused (the step cannot be taken, or a
    // failure was reported): the caller draws or computes nothing.
    bool ToMain_Param(bool addFlag, double yScale);
    // Plots one quantity of a species: kinds 0..3 the quantity list, 4 its
    // derivative; column = species number + 2.
    void PoltFunc(int kind, int column, const std::string& name);
    // A mean parameter: the current row of the table as a curve, or the
    // given rows (1..6) as a text table.
    void MeanFF(std::span<const int> rows, bool tableMode);
    // The species table of the given species (numbers) as a text table.
    void SpeciesData(std::span<const int> species);
    // Every quantity the window draws reaches the chart here.
    void PloConcentration(std::span<const double> Yarray, int Num, const std::string& TextTipPlot,
                          const std::string& LegendTxt, bool YAxisLg, double valueScale);
    // Enthalpy and heat-capacity unit texts of the mean-parameter table.
    void HabdCpUnits(bool joule);
    // The quantity list, the concentration unit of the mean-parameter table
    // and the rate caption, from ConcUnit.
    void ComboText();

    // The reaction-contribution pages.
    enum class Page { Derivatives, Reactions };
    void Prepare(Page page);          // Command10 / Command8 (runs in Timer1 / Timer2)
    void ShowReacMen(bool important);  // "All" / "Important" on the Derivatives page
    void CopyTable();                 // "Copy Table"
    void ShowHisto();                 // the histogram ("Show")
    void PlotDerivative(bool add);    // "Plot Derivative"
    // Plots the activated reaction of a page's list: its part of the
    // species' derivative (Derivatives) or its checked rates (Reactions).
    void PlotReactions(Page page, int shownRow, bool add);

    // ---- Controls, as the window's tests reach them ---------------------------
    QTabWidget* TabStrip1() const { return tabStrip1_; }
    QLineEdit* Text(int n) const;  // Text1 .. Text19 that exist
    QRadioButton* Option(int n) const;  // Option1 .. Option16
    QCheckBox* Check1(int i) const { return check1_[static_cast<std::size_t>(i)]; }
    QCheckBox* Check3() const { return check3_; }
    QComboBox* Combo1() const { return combo1_; }
    QLabel* Label(int n) const;  // Label2, 8, 11, 13, 16, 20, 21, 25, 26
    QPushButton* Command(int n) const;  // Command1 .. Command14 that exist
    platform::Grid* GridEX(int n) const;  // GridEX1 .. GridEX4
    QGroupBox* Frame(int n) const;  // Frame5, Frame7, Frame9

    const ResultsReader& Reader() const { return *reader_; }
    const ReactionList& List(Page page) const { return page == Page::Derivatives ? derivatives_ : reactions_; }
    const std::vector<double>& InitFract() const { return initFract_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Controls;
    // The boxes whose texts are remembered, and their elements of
    // MenuFormTextValues.
    static constexpr std::array<std::pair<int, int>, 8> kRememberedBoxes{
        {{1, 1}, {5, 2}, {12, 3}, {4, 4}, {9, 6}, {11, 7}, {8, 8}, {13, 9}}};
    void buildControls();
    void buildMenus();
    void Form_Load();
    void Load_D();
    void storeRemembered();
    void connectEvents();
    void tabChanged(int index);
    void label2Click();
    void timerPrepare(Page page);
    bool testScale(QLineEdit* box);
    QuantityUnits units() const;
    std::string caption() const;
    void showCount();
    void showStep();  // the point step in use, in its box
    // The step remembered from the last results window, taken over the whole
    // run when it can be; the box then shows the step in use.
    void applyRememberedStep();
    // Shows the General page and the refusal on the box it names.
    void refuseOnGeneralPage(const GeneralPageCheck& check);
    // Takes a run's reactions into the page's list and grid.
    void ReacUpdate(Page page, const ContributionTable& run);
    std::vector<ShownReaction> shownReactions(Page page) const;
    void showSum(int count, bool important);
    // False when the plot settings were refused: nothing more is drawn.
    bool plotReactionQuantity(int reaction, int quantity, const std::string& text, bool add, Page page);
    void speciesView();
    void meanView();
    void showTextTable(const std::vector<std::string>& lines);
    void copySpeciesName();
    int derivativeSpecies(Page page) const;

    std::unique_ptr<Controls> c_;
    QTabWidget* tabStrip1_ = nullptr;
    std::array<QCheckBox*, 5> check1_{};
    QCheckBox* check3_ = nullptr;
    QComboBox* combo1_ = nullptr;

    std::unique_ptr<ResultsReader> reader_;
    std::string solverFile_;
    double smin_ = 0, smax_ = 0;
    std::vector<std::string> specArrD_;
    std::vector<double> initFract_;
    double pressur_ = 0;
    int nTemper_ = 0;
    std::array<MeanParameterRow, 7> meanTable_{};

    bool loaded_ = false;
    bool placed_ = false;
    bool addCurveFlag_ = false;
    bool countStale_ = false;
    bool leavingGeneral_ = false;
    int previousTab_ = 0;
    bool switchingBack_ = false;

    ReactionList derivatives_;
    ReactionList reactions_;
    // The species of each reaction page: number (0 = none) and name.
    int derivativeNumber_ = 0, reactionNumber_ = 0;
    std::string derivativeName_, reactionName_;
    bool itemLabels_ = true;
    Histogram histogram_;

    platform::Timer timer1_{300, true};
    platform::Timer timer2_{300, true};
    platform::Timer timer3_{300, true};
    QMenu* popup_ = nullptr;
};

// Registers the window as "MenuForm".
void InstallResultsWindow();

}  // namespace kx::results
