#pragma once

#include "report/ReportDocument.h"

namespace nerova {

class Table;

// The end of the detail report: who tested the pump (name, license number and state), who
// witnessed it, the authority having jurisdiction and the test date, each with a line to
// sign and date on. Kept on one page.
class CertificationSection {
public:
    static ReportSection section(const Table& test);

    // Height of one signature line with the captions under it, in millimetres.
    static constexpr double kSignatureHeight = 17.0;
};

} // namespace nerova
