#pragma once

#include <QString>
#include <QVariant>

namespace nerova {

class PreferencesRecord;

// The testing company's own fields, computed from the preferences on request: one record
// whose fields are "CompanyInfo1" … "CompanyInfo8" and "TestingCompanyName" (line 1 of
// the letterhead). Field names are matched without regard to letter case; a name the
// source does not have gives empty text. A source without the letterhead lines answers
// only "TestingCompanyName".
class TestReportFeedSource {
public:
    TestReportFeedSource(const PreferencesRecord& preferences, bool withLetterhead);

    QVariant fieldValue(const QString& name) const { return fieldAsString(name); }
    QString fieldAsString(const QString& name) const;

private:
    const PreferencesRecord& m_preferences;
    bool m_withLetterhead;
};

} // namespace nerova
