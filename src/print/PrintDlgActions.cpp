// The print dialog's buttons: the two reports of curve 1's test, the history of its pump
// and the curve sheet.
#include "print/PrintDlg.h"

#include "controls/ColorComboBox.h"
#include "print/DetailReportFrm.h"
#include "print/HistoryReport.h"
#include "print/PrintCurveFrm.h"
#include "print/SummaryReportFrm.h"
#include "prompt/Prompt.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace nerova {

CurveRequest TPrintDlg::curveRequest() const {
    CurveRequest r;
    r.selection = m_selection;
    for (std::size_t i = 0; i < 4; ++i) {
        const CurvePage& cp = m_pages[i];
        r.corrected[i] = cp.corrected->isChecked();
        r.included[i] = i == 0 || cp.include->isChecked();
        r.legend[i] = cp.legend->text().left(CurveRequest::kLegendLength);
        r.color[i] = cp.color->colorValue();
    }
    r.legend[4] = m_ratingLegend->text().left(CurveRequest::kLegendLength);
    r.color[4] = m_ratingColor->colorValue();
    r.plotRatingPoints = m_plotRatingPoints->isChecked();
    r.connectRatingPoints = m_connectRatingPoints->isChecked();
    r.plotFactoryCurve = m_plotFactoryCurve->isChecked();
    r.title1 = m_pages[0].title1->text().left(CurveRequest::kTitleLength);
    r.title2 = m_pages[0].title2->text().left(CurveRequest::kTitleLength);
    return r;
}

// Whichever page is shown, the reports are of curve 1's test. A selection no longer found
// prints from wherever the report's own positioning stopped.
void TPrintDlg::DetailReportBtnClick() {
    TDetailReportFrm report(m_db, m_prefs, this);
    report.setIncludeEvaluation(m_includeEvaluation->isChecked());
    report.setIncludeCurve(m_includeCurve->isChecked());
    report.position(m_selection[0].toList());
    report.preview();
}

void TPrintDlg::SummaryReportBtnClick() {
    TSummaryReportFrm report(m_db, m_prefs, this);
    report.setIncludeEvaluation(m_includeEvaluation->isChecked());
    report.position(m_selection[0].toList());
    report.preview();
}

void TPrintDlg::PumpHistoryBtnClick() {
    HistoryReportHolder report(m_db, m_prefs, this);
    if (!report.position(m_selection[0].toList())) {
        Prompt::error(QStringLiteral("There is no pump selected for a history."));
        return;
    }
    report.preview();
}

void TPrintDlg::CurveBtnClick() {
    TPrintCurveFrm curve(m_db, m_prefs, curveRequest(), this);
    if (Prompt::instance().runDialog(curve) == QDialog::Accepted)
        curve.print();
}

} // namespace nerova
