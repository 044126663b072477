#pragma once

#include "prefs/PreferencesRecord.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace nerova {

class ColorComboBox;

// The editor of the preferences record. It fills its controls from the record it is given
// when it is created and copies them back only when OK is pressed; Cancel and Esc leave the
// record untouched. Writing the record to its file is the caller's business.
//
// Every control carries an object name the tests and accessibility tools can find
// (CompanyInfo1Field, Color1ComboBox, PlotRatingPointsCheckBox, ...), and every control
// bound to a field carries the field's name as its accessible description.
class TPreferencesDlg : public QDialog {
    Q_OBJECT

public:
    explicit TPreferencesDlg(PreferencesRecord& record, QWidget* parent = nullptr);

    // Copies every control into the record and closes the dialog with OK.
    void OKBtnClick();
    // Closes the dialog with Cancel; nothing is copied.
    void CancelBtnClick();

protected:
    // Enter moves on like Tab and never closes the dialog; Esc cancels.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCompanyPage();
    void buildCurvesPage();
    void buildGaugesPage();
    void buildGraphPage();
    void buildNozzlesPage();
    void buildReportsPage();
    void buildTestersPage();
    void buildTimePage();
    void watchKeys();

    void FormShow();
    void copyToRecord();

    void PlotRatingPointsCheckBoxClick(bool checked);
    void PlotFactoryCurveCheckBoxClick(bool checked);

    PreferencesRecord& m_record;

    QTabWidget* m_notebook = nullptr;
    QPushButton* m_okBtn = nullptr;
    QPushButton* m_cancelBtn = nullptr;

    std::array<QLineEdit*, 8> m_companyInfo{};

    std::array<QRadioButton*, 4> m_actual{};
    std::array<QRadioButton*, 4> m_corrected{};
    std::array<ColorComboBox*, 5> m_color{};
    std::array<QLineEdit*, 5> m_legend{};
    std::array<QCheckBox*, 3> m_includeCurve{}; // curves 2 to 4
    QCheckBox* m_plotRatingPoints = nullptr;
    QCheckBox* m_connectRatingPoints = nullptr;
    QCheckBox* m_plotFactoryCurve = nullptr;

    // Pressure gauge, volt meter, amp probe, tachometer.
    std::array<QLineEdit*, 4> m_instrumentType{};
    std::array<QLineEdit*, 4> m_calDate{};

    QRadioButton* m_curved = nullptr;
    QRadioButton* m_straight = nullptr;
    QRadioButton* m_exponential = nullptr;
    QRadioButton* m_linear = nullptr;
    std::array<QRadioButton*, 4> m_quality{}; // draft, low, medium, high
    QButtonGroup* m_qualityGroup = nullptr;
    QCheckBox* m_printGridLines = nullptr;

    QLineEdit* m_size = nullptr;
    QLineEdit* m_coefficent = nullptr;

    // Company, location, pump, test.
    std::array<QCheckBox*, 4> m_printSummary{};
    std::array<QCheckBox*, 4> m_printDetail{};
    QCheckBox* m_printPageNumber = nullptr;

    std::array<QLineEdit*, PreferencesRecord::kTesterCount> m_tester{};
    std::array<QLineEdit*, PreferencesRecord::kTesterCount> m_testerLicense{};
    std::array<QLineEdit*, PreferencesRecord::kTesterCount> m_testerState{};

    QCheckBox* m_useTestTime = nullptr;
};

} // namespace nerova
