#pragma once

#include "data/TableChain.h"
#include "print/CurveRequest.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace nerova {

class ColorComboBox;
class Database;
class PreferencesRecord;

// The print dialog: the detail or summary report of one test, or a curve sheet comparing up
// to four tests, each picked from any company, location and pump, with the rated points or
// the factory curve of the first test's pump.
//
// Each curve page keeps its own selection of four identifiers; the four lists of the page
// shown follow the dialog's own read-only cursors, open while the dialog is shown. The
// reports always print curve 1's test (the pump history its pump). The dialog writes to no
// table and never to the preferences; everything it holds is gone when it closes, except
// "Include evaluation" and "Include curve", which the program's own settings file remembers.
class TPrintDlg : public QDialog {
    Q_OBJECT

public:
    // ids: the main window's current company, location, pump and test identifiers, empty
    // where a level has no row.
    TPrintDlg(Database& db, PreferencesRecord& prefs, const QStringList& ids,
              QWidget* parent = nullptr);
    ~TPrintDlg() override;

    // curve: 1 … 4.
    const CurveSelection& selection(int curve) const;
    // The request the "Curve" button hands on, built from the controls as they stand.
    CurveRequest curveRequest() const;

    // The opening steps; run when the dialog is shown.
    void FormShow();
    // Shows a page (0 … 3 the curve pages, 4 "Rating") as if its tab were clicked.
    void showPage(int index);

    void DetailReportBtnClick();
    void SummaryReportBtnClick();
    void CurveBtnClick();
    // The history of curve 1's pump: every test of it, in the report preview.
    void PumpHistoryBtnClick();
    void CloseBtnClick();

    // Settings-file key of "Include evaluation", remembered across sessions.
    static constexpr const char* kIncludeEvaluationKey = "Print/IncludeEvaluation";
    // And of "Include curve": the detail report ends with the test's curve sheet.
    static constexpr const char* kIncludeCurveKey = "Print/IncludeCurve";

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct CurvePage {
        QWidget* page = nullptr;
        std::array<QListWidget*, 4> lists{}; // company, location, pump, test
        QRadioButton* actual = nullptr;
        QRadioButton* corrected = nullptr;
        ColorComboBox* color = nullptr;
        QLineEdit* legend = nullptr;
        QCheckBox* include = nullptr; // curves 2 to 4
        QLineEdit* title1 = nullptr;  // curve 1 only
        QLineEdit* title2 = nullptr;  // curve 1 only
    };

    void buildCurvePage(int curve);
    void buildRatingPage();
    void buildButtons();

    // The curve page shown (1 … 4), or 0 while "Rating" is shown.
    int shownCurve() const;
    void NotebookPageChanged(int index);
    void positionPage(int curve);
    void TableAfterScroll(TableId level);
    void ListRowChanged(TableId level, int row);
    void setTitle1();
    void setTitle2();
    // Refills the lists of `fromLevel` and below from the cursors, then puts every list on
    // its cursor's row.
    void syncLists(TableId fromLevel);
    QStringList identifiers(TableId level);

    void PlotRatingPointsCheckBoxClick(bool checked);
    void PlotFactoryCurveCheckBoxClick(bool checked);

    Database& m_db;
    PreferencesRecord& m_prefs;
    QStringList m_startIds;
    TableChain m_chain;
    // A second chain the lists are read through, so that reading them never moves the
    // cursors the pages are positioned with.
    TableChain m_lister;
    std::array<CurveSelection, 4> m_selection;
    // Set while a page change repositions the lists: the titles then keep what the user
    // may have typed, since the selection of curve 1 has not changed.
    bool m_positioning = false;

    QTabWidget* m_notebook = nullptr;
    std::array<CurvePage, 4> m_pages;
    QCheckBox* m_plotRatingPoints = nullptr;
    QCheckBox* m_connectRatingPoints = nullptr;
    QCheckBox* m_plotFactoryCurve = nullptr;
    QLineEdit* m_ratingLegend = nullptr;
    ColorComboBox* m_ratingColor = nullptr;
    QPushButton* m_summaryBtn = nullptr;
    QPushButton* m_curveBtn = nullptr;
    QPushButton* m_detailBtn = nullptr;
    QPushButton* m_closeBtn = nullptr;
    QPushButton* m_historyBtn = nullptr;
    QCheckBox* m_includeEvaluation = nullptr;
    QCheckBox* m_includeCurve = nullptr;
};

} // namespace nerova
