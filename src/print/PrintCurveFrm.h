#pragma once

#include "data/TableChain.h"
#include "print/CurveRequest.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace nerova {

class Database;
class PreferencesRecord;
class TFlpGrf;

// The pump-curve sheet of one curve request: up to four tests plotted as net pressure over
// flow, with the first test's rated points or factory curve. Showing the window builds the
// sheet; the user may change the grid lines, the line type and the flow axis for this
// sheet only, and show the baseline's acceptance limit (remembered), then closes it with Print
// (accepted) or Cancel (rejected). The caller prints with print() after an accepted close.
//
// The window reads through its own read-only cursors, open while it is shown.
class TPrintCurveFrm : public QDialog {
    Q_OBJECT

public:
    TPrintCurveFrm(Database& db, const PreferencesRecord& prefs, CurveRequest request,
                   QWidget* parent = nullptr);
    ~TPrintCurveFrm() override;

    TFlpGrf& graph() const { return *m_graph; }
    const CurveRequest& request() const { return m_request; }

    // Builds the sheet from the request, the preferences and the tables.
    void FormShow();

    // The three options, as if the user had chosen them.
    void LinesChange(bool curved);
    void XAxisChange(bool exponential);
    void PrintGridLinesChange(bool on);
    bool printGridLines() const;
    // The acceptance limit under curve 1's pump baseline (95 % of it), as a dashed line;
    // the choice is remembered in the program's settings file.
    void BaselineLimitChange(bool on);
    bool baselineLimit() const;
    static constexpr const char* kBaselineLimitKey = "Print/CurveBaselineLimit";
    // The series that draws that line, counted in the sheet only while it is shown.
    static constexpr int kBaselineLimitSeries = 6;

    void PrintBtnClick();
    void CancelBtnClick();
    // "Save as PDF…": asks for a file through the prompt seam and writes the sheet to it.
    bool SaveAsPdfBtnClick();

    // Prints the sheet as last shown, in the print quality of the preferences; answers
    // true when it went to a printer (or a PDF chosen in the print dialog).
    bool print();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void loadCurve(int k);
    void loadRating();
    void loadBaselineLimit();
    void showBaselineLimit();
    void setGridLines();
    void setXAxisFunction();
    int lineType() const;
    void gridEdited(const QString& text);
    void toggleGridLines();

    Database& m_db;
    const PreferencesRecord& m_prefs;
    CurveRequest m_request;
    TableChain m_chain;
    bool m_building = false;
    double m_ratedSpeed = 0;

    TFlpGrf* m_graph = nullptr;
    QLineEdit* m_gridEdit = nullptr;
    QToolButton* m_gridUp = nullptr;
    QToolButton* m_gridDown = nullptr;
    QRadioButton* m_curved = nullptr;
    QRadioButton* m_straight = nullptr;
    QRadioButton* m_exponential = nullptr;
    QRadioButton* m_linear = nullptr;
    QCheckBox* m_baselineLimit = nullptr;
    QPushButton* m_printBtn = nullptr;
    QPushButton* m_cancelBtn = nullptr;
    QPushButton* m_pdfBtn = nullptr;
};

} // namespace nerova
