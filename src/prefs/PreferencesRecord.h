#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

namespace nerova {

// The user's settings as one fixed-layout record of 992 bytes, kept exactly as the bytes of
// the file Nrva2002.ini (little-endian, no header). Every accessor reads or writes its
// field at its fixed offset, so bytes nobody touches (gaps, the unused tail of a short
// text) survive a load/save round trip unchanged.
//
// Texts are single-byte Latin-1 with a leading length byte. Storing a text longer than its
// field keeps its first N characters; storing a shorter one leaves the bytes after it as
// they were. A damaged length byte greater than N reads only the field's N characters.
//
// Numbered accessors take the number as the field name has it: companyInfo(1..8),
// corrected(1..4), color(1..5), legend(1..5), includeCurve(2..4), tester(1..4),
// testerLicense(1..4), testerState(1..4). Any other number throws std::out_of_range.
class PreferencesRecord {
public:
    static constexpr int kSize = 992;

    // Maximum characters of each text kind.
    static constexpr int kCompanyInfoLength = 40;
    static constexpr int kLegendLength = 40;
    static constexpr int kTesterCount = 4; // testers, one set of columns each in a test
    static constexpr int kTesterLength = 30;
    static constexpr int kTesterLicenseLength = 30;
    static constexpr int kTesterStateLength = 2;
    static constexpr int kInstrumentTypeLength = 25;
    static constexpr int kCalDateLength = 8;

    PreferencesRecord() { clear(); }

    // Fills the record with zero bytes.
    void clear() { m_bytes.fill(0); }
    // Sets the fields a newly created file starts with, over what the record holds.
    void applyDefaults();

    QByteArray bytes() const;
    // Replaces the record's bytes with the first kSize bytes of data; missing bytes are 0.
    void setBytes(const QByteArray& data);
    quint8 byteAt(int offset) const { return m_bytes.at(static_cast<std::size_t>(offset)); }
    quint8* data() { return m_bytes.data(); }
    const quint8* data() const { return m_bytes.data(); }

    bool operator==(const PreferencesRecord& other) const = default;

    // Company page: the testing company's letterhead; line 1 is also its name on reports.
    QString companyInfo(int n) const;
    void setCompanyInfo(int n, const QString& text);

    // Graph options.
    bool printGridLines() const { return flag(328); }
    void setPrintGridLines(bool on) { setFlag(328, on); }
    bool curvedLines() const { return flag(329); }
    void setCurvedLines(bool on) { setFlag(329, on); }
    bool exponentialXAxis() const { return flag(330); }
    void setExponentialXAxis(bool on) { setFlag(330, on); }
    // 1 draft, 2 low, 3 medium, 4 high; 0 when none was ever chosen.
    qint32 curvePrintQuality() const { return int32(332); }
    void setCurvePrintQuality(qint32 value) { setInt32(332, value); }

    // Nozzle defaults.
    float defaultNozzleSize() const { return single(336); }
    void setDefaultNozzleSize(float value) { setSingle(336, value); }
    float defaultNozzleCoefficient() const { return single(340); }
    void setDefaultNozzleCoefficient(float value) { setSingle(340, value); }

    bool useTestTime() const { return flag(344); }
    void setUseTestTime(bool on) { setFlag(344, on); }

    // Curves: n = 1..4.
    bool corrected(int n) const;
    void setCorrected(int n, bool on);
    // Colours as red + 256 * green + 65536 * blue; n = 1..4 for the curves, 5 for rating.
    quint32 color(int n) const;
    void setColor(int n, quint32 rgb);
    // n = 1..4 for the curves, 5 for rating.
    QString legend(int n) const;
    void setLegend(int n, const QString& text);
    // n = 2..4; curve 1 is always included.
    bool includeCurve(int n) const;
    void setIncludeCurve(int n, bool on);
    bool plotRatingPoints() const { return flag(580); }
    void setPlotRatingPoints(bool on) { setFlag(580, on); }
    bool connectRatingPoints() const { return flag(581); }
    void setConnectRatingPoints(bool on) { setFlag(581, on); }
    bool plotFactoryCurve() const { return flag(582); }
    void setPlotFactoryCurve(bool on) { setFlag(582, on); }

    // Testers: n = 1..4.
    QString tester(int n) const;
    void setTester(int n, const QString& text);
    QString testerLicense(int n) const;
    void setTesterLicense(int n, const QString& text);
    QString testerState(int n) const;
    void setTesterState(int n, const QString& text);

    // Instruments.
    QString pressureGaugeType() const { return text(843, kInstrumentTypeLength); }
    void setPressureGaugeType(const QString& t) { setText(843, kInstrumentTypeLength, t); }
    QString voltMeterType() const { return text(869, kInstrumentTypeLength); }
    void setVoltMeterType(const QString& t) { setText(869, kInstrumentTypeLength, t); }
    QString ampProbeType() const { return text(895, kInstrumentTypeLength); }
    void setAmpProbeType(const QString& t) { setText(895, kInstrumentTypeLength, t); }
    QString tachometerType() const { return text(921, kInstrumentTypeLength); }
    void setTachometerType(const QString& t) { setText(921, kInstrumentTypeLength, t); }
    // Calibration dates as typed, "mm/dd/yy".
    QString pressureGaugeCalDate() const { return text(947, kCalDateLength); }
    void setPressureGaugeCalDate(const QString& t) { setText(947, kCalDateLength, t); }
    QString voltMeterCalDate() const { return text(956, kCalDateLength); }
    void setVoltMeterCalDate(const QString& t) { setText(956, kCalDateLength, t); }
    QString ampProbeCalDate() const { return text(965, kCalDateLength); }
    void setAmpProbeCalDate(const QString& t) { setText(965, kCalDateLength, t); }
    QString tachometerCalDate() const { return text(974, kCalDateLength); }
    void setTachometerCalDate(const QString& t) { setText(974, kCalDateLength, t); }

    // What the reports print.
    bool printSummaryCompanyID() const { return flag(983); }
    void setPrintSummaryCompanyID(bool on) { setFlag(983, on); }
    bool printSummaryLocationID() const { return flag(984); }
    void setPrintSummaryLocationID(bool on) { setFlag(984, on); }
    bool printSummaryPumpID() const { return flag(985); }
    void setPrintSummaryPumpID(bool on) { setFlag(985, on); }
    bool printSummaryTestID() const { return flag(986); }
    void setPrintSummaryTestID(bool on) { setFlag(986, on); }
    bool printDetailCompanyID() const { return flag(987); }
    void setPrintDetailCompanyID(bool on) { setFlag(987, on); }
    bool printDetailLocationID() const { return flag(988); }
    void setPrintDetailLocationID(bool on) { setFlag(988, on); }
    bool printDetailPumpID() const { return flag(989); }
    void setPrintDetailPumpID(bool on) { setFlag(989, on); }
    bool printDetailTestID() const { return flag(990); }
    void setPrintDetailTestID(bool on) { setFlag(990, on); }
    bool printReportPageNumber() const { return flag(991); }
    void setPrintReportPageNumber(bool on) { setFlag(991, on); }

private:
    bool flag(int offset) const;
    void setFlag(int offset, bool on);
    qint32 int32(int offset) const;
    void setInt32(int offset, qint32 value);
    quint32 uint32(int offset) const;
    void setUint32(int offset, quint32 value);
    float single(int offset) const;
    void setSingle(int offset, float value);
    QString text(int offset, int maxLength) const;
    void setText(int offset, int maxLength, const QString& value);

    std::array<quint8, kSize> m_bytes{};
};

// The one record of the process, read by every window and report.
PreferencesRecord& preferences();

// Name of the preferences file inside the start-up directory.
inline constexpr const char* kPreferencesFileName = "Nrva2002.ini";

// Fills the record from dir/Nrva2002.ini. A file that is missing, cannot be opened for
// reading and writing (including one whose owner-write permission is off) or holds fewer
// than 992 bytes is created anew with the default fields. Throws EngineError with the
// system's text when that creation or its write fails; the record then keeps what was read
// (all zero, or a short read's bytes), plus the defaults when only the write failed.
void LoadPreferences(PreferencesRecord& record, const QString& dir);
void LoadPreferences(const QString& dir);

// Writes the record over the first 992 bytes of the existing dir/Nrva2002.ini without
// truncating it, so a longer file keeps its tail. Throws EngineError with the system's
// text when the file cannot be opened or written; the file then keeps its old contents as
// far as the system allows, and the record is unchanged.
void SavePreferences(const PreferencesRecord& record, const QString& dir);
void SavePreferences(const QString& dir);

} // namespace nerova
