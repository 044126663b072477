#include "print/TestReportFeedSource.h"

#include "prefs/PreferencesRecord.h"

namespace nerova {

TestReportFeedSource::TestReportFeedSource(const PreferencesRecord& preferences,
                                           bool withLetterhead)
    : m_preferences(preferences), m_withLetterhead(withLetterhead) {}

QString TestReportFeedSource::fieldAsString(const QString& name) const {
    const QString upper = name.toUpper();
    if (m_withLetterhead) {
        for (int n = 1; n <= 8; ++n) {
            if (upper == QStringLiteral("COMPANYINFO%1").arg(n))
                return m_preferences.companyInfo(n);
        }
    }
    if (upper == QLatin1String("TESTINGCOMPANYNAME"))
        return m_preferences.companyInfo(1);
    return {};
}

} // namespace nerova
