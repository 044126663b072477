#pragma once

#include "report/ReportDocument.h"

#include <QVector>

namespace nerova {

class Table;

// The detail report's sections on the pump's equipment, each kept whole on a page:
// electric and diesel drivers, controllers, jockey pump, relief valves, transfer switch,
// factory curve, right-angle gear and the pump notes.
class DetailReportEquipment {
public:
    static QVector<ReportSection> sections(const Table& pump);

private:
    static ReportSection electricDriver(const Table& pump);
    static ReportSection dieselDriver(const Table& pump);
    static ReportSection pumpController(const Table& pump);
    static ReportSection jockeyPump(const Table& pump);
    static ReportSection jockeyController(const Table& pump);
    static ReportSection reliefValves(const Table& pump);
    static ReportSection transferSwitch(const Table& pump);
    static ReportSection factoryCurve(const Table& pump);
    static ReportSection rightAngleGear(const Table& pump);
    static ReportSection pumpNotes(const Table& pump);
};

} // namespace nerova
